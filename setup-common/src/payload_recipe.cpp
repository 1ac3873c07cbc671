#include "quorvale/setup/payload_recipe.h"

#include <array>
#include <optional>

#include "quorvale/setup/system_helpers.h"
#include "quorvale/win32/vb_files.h"
#include "quorvale/win32/vb_resources.h"

namespace quorvale::setup {

namespace {

// Server end: the archive at 100,000 x k for k = 1 to 21 (widths 200 to
// 2200) and at 2,204,405; the unpacker at 100,000, 200,000, 300,000.
constexpr std::array<ProgressPoint, 22> kServerArchivePoints = [] {
  std::array<ProgressPoint, 22> points{};
  for (int k = 1; k <= 21; ++k) points[k - 1] = {.index = 100000LL * k, .width = 100 * (k + 1)};
  points[21] = {.index = 2204405, .width = 2300};
  return points;
}();
constexpr ProgressPoint kServerUnpackerPoints[] = {
    {.index = 100000, .width = 2400}, {.index = 200000, .width = 2500}, {.index = 300000, .width = 2600}};

constexpr ProgressPoint kControlArchivePoints[] = {
    {.index = 250000, .width = 400},   {.index = 300000, .width = 500},   {.index = 500000, .width = 600},
    {.index = 650000, .width = 700},   {.index = 800000, .width = 800},   {.index = 900000, .width = 900},
    {.index = 1000000, .width = 1000}, {.index = 1100000, .width = 1100}, {.index = 1250000, .width = 1200},
    {.index = 1350000, .width = 1300}, {.index = 1500000, .width = 1400}, {.index = 1600000, .width = 1500},
    {.index = 1750000, .width = 1600}, {.index = 1850000, .width = 1700}, {.index = 2000000, .width = 1800},
    {.index = 2300000, .width = 1900}, {.index = 2500000, .width = 2000}, {.index = 2800000, .width = 2100},
    {.index = 3000000, .width = 2200}, {.index = 3250000, .width = 2300}, {.index = 3500000, .width = 2400},
    {.index = 3800000, .width = 2500}, {.index = 4030457, .width = 2600},
};

constexpr int kArchiveResource = 101, kUnpackerResource = 102;
constexpr std::int64_t kUnpackerLastIndex = 314367;

}  // namespace

const PayloadVariant kServerEndPayload{
    .writing_step = "正在释放安装程序包...",
    .unpacking_step = "正在解压缩安装文件...",
    .archive = {.resource = kArchiveResource, .last_index = 2861143, .points = kServerArchivePoints},
    .unpacker = {.resource = kUnpackerResource,
                 .last_index = kUnpackerLastIndex,
                 .points = kServerUnpackerPoints},
    .start_width = 150,
    .written_width = 0,
    .end_width = 2700,
};

const PayloadVariant kControlEndPayload{
    .writing_step = "正在释放安装程序包...",
    .unpacking_step = "正在解压缩安装文件...",
    .archive = {.resource = kArchiveResource, .last_index = 4051115, .points = kControlArchivePoints},
    .unpacker = {.resource = kUnpackerResource, .last_index = kUnpackerLastIndex, .points = {}},
    .start_width = 300,
    .written_width = 2700,
    .end_width = 2800,
};

void WriteResourceFile(StepReporter& reporter, const ResourceWrite& resource, const std::string& path) {
  Err& err = reporter.SequenceErr();
  std::string_view data;
  err.Resume([&] { data = win32::LoadResData(resource.resource, "CUSTOM"); });
  std::optional<win32::BinaryFile> file;
  err.Resume([&] { file.emplace(path); });
  const auto size = static_cast<std::int64_t>(data.size());
  auto point = resource.points.begin();
  // Each failing write raises the same error as the one before; it is
  // recorded once, without unwinding for every byte.
  bool failing = false;
  for (std::int64_t i = 0; i <= resource.last_index; ++i) {
    reporter.LoopTurn();
    if (point != resource.points.end() && point->index == i) {
      reporter.SetBar(point->width);
      ++point;
    }
    if (file && i < size) {
      file->Put(static_cast<std::uint8_t>(data[static_cast<std::size_t>(i)]));
    } else if (!failing) {
      failing = true;
      err.Resume([&] { Raise(file ? Error::kSubscriptOutOfRange : Error::kBadFileName); });
    }
  }
  err.Resume([&] {
    if (file) file->Close();
  });
}

std::string UnpackCommand(const std::string& folder) {
  std::string target = SystemHelpers::ShortPath(folder);
  // "C:\" stays whole: "C:" alone would mean the drive's current folder.
  if (target.size() > 3 && target.back() == '\\') target.pop_back();
  return folder + "\\Rar.exe x -r -y -o+ " + SystemHelpers::ShortPath(folder + "\\Quorvale.rar") + " " +
         target;
}

void UnpackPayload(StepReporter& reporter, const PayloadVariant& variant, const std::string& folder) {
  reporter.ShowStep(variant.writing_step);
  reporter.MoveBar(variant.start_width);
  WriteResourceFile(reporter, variant.archive, folder + "\\Quorvale.rar");
  WriteResourceFile(reporter, variant.unpacker, folder + "\\Rar.exe");
  if (variant.written_width) reporter.MoveBar(variant.written_width);

  reporter.ShowStep(variant.unpacking_step);
  StartHidden(reporter.SequenceErr(), UnpackCommand(folder));
  reporter.MoveBar(variant.end_width);
}

}  // namespace quorvale::setup
