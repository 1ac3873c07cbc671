// Any line file of the machine as text (attributes, 8.3 names, holds,
// access lists, started programs, program events: two to five fields; the
// first byte of the input chooses how many). Records read are read the
// same once written again; and any records, fields of any bytes (the rest
// of the input cut at NUL bytes), are read back exactly as written.
#include <utility>

#include "record_files.h"

using namespace quorvale;

namespace {

std::vector<Record> RecordsOf(const std::string& bytes, std::size_t fields) {
  std::vector<Record> records;
  Record record;
  for (std::size_t start = 0; start <= bytes.size();) {
    std::size_t end = bytes.find('\0', start);
    if (end == std::string::npos) end = bytes.size();
    record.push_back(bytes.substr(start, end - start));
    if (record.size() == fields) records.push_back(std::exchange(record, {}));
    start = end + 1;
  }
  return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path file = "/machine/program-events.txt";
  if (size == 0) return 0;
  const std::size_t fields = 2 + data[0] % 4;
  const std::string text = fuzz::Text(data + 1, size - 1);
  fuzz::RecordRoundTrip(
      text, file, fields,
      [&](const std::string& t) {
        auto records = ParseRecordText(t, file, fields);
        for (const auto& r : records)
          if (r.size() != fields) fuzz::Broken("every record read has the file's fields");
        return records;
      },
      std::equal_to<>(), "records written again read the same");
  const auto written = RecordsOf(text, fields);
  if (fuzz::ReadWritten("records of any bytes are read back as written", [&] {
        return ParseRecordText(FormatRecordText("header", written), file, fields);
      }) != written)
    fuzz::Broken("records of any bytes are read back as written");
  return 0;
}
