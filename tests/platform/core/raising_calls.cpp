#include "raising_calls.h"

#include "quorvale/core/errors.h"

namespace quorvale::testing {

namespace {
const std::uint8_t kBytes[] = {1, 2, 3};
}  // namespace

std::string_view RaisingText(int id) {
  if (id != 0) Raise(Error::kResourceNotFound, std::to_string(id));
  return "found";
}

std::string_view RaisingResource(int id, const std::string& type) {
  if (id != 0) Raise(Error::kResourceNotFound, std::to_string(id));
  return type;
}

std::span<const std::uint8_t> RaisingBytes(int id) {
  if (id != 0) Raise(Error::kSubscriptOutOfRange);
  return kBytes;
}

long RaisingNumber(int id) {
  if (id != 0) Raise(Error::kSubscriptOutOfRange);
  return 7;
}

const char* RaisingPointer(int id) {
  if (id != 0) Raise(Error::kFileNotFound);
  return "found";
}

}  // namespace quorvale::testing
