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
  for (int k = 1; k <= 21; ++k) points[k - 1] = {100000LL * k, 100 * (k + 1)};
  points[21] = {2204405, 2300};
  return points;
}();
constexpr std::array<ProgressPoint, 3> kServerUnpackerPoints = {
    {{100000, 2400}, {200000, 2500}, {300000, 2600}}};

constexpr std::array<ProgressPoint, 23> kControlArchivePoints = {{
    {250000, 400},   {300000, 500},   {500000, 600},   {650000, 700},   {800000, 800},   {900000, 900},
    {1000000, 1000}, {1100000, 1100}, {1250000, 1200}, {1350000, 1300}, {1500000, 1400}, {1600000, 1500},
    {1750000, 1600}, {1850000, 1700}, {2000000, 1800}, {2300000, 1900}, {2500000, 2000}, {2800000, 2100},
    {3000000, 2200}, {3250000, 2300}, {3500000, 2400}, {3800000, 2500}, {4030457, 2600},
}};

constexpr int kArchiveResource = 101, kUnpackerResource = 102;
constexpr std::int64_t kUnpackerLastIndex = 314367;

}  // namespace

const PayloadVariant kServerEndPayload{
    "正在释放安装程序包...",
    "正在解压缩安装文件...",
    {kArchiveResource, 2861143, kServerArchivePoints},
    {kUnpackerResource, kUnpackerLastIndex, kServerUnpackerPoints},
    150,
    0,
    2700,
};

const PayloadVariant kControlEndPayload{
    "正在释放安装程序包...",
    "正在解压缩安装文件...",
    {kArchiveResource, 4051115, kControlArchivePoints},
    {kUnpackerResource, kUnpackerLastIndex, {}},
    300,
    2700,
    2800,
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
