// Calls that raise for any id but 0, each in a translation unit of its own so
// that the caller sees only a call that may throw.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quorvale::testing {

std::string_view RaisingText(int id);
// Shaped as LoadResData: the type comes as a temporary string.
std::string_view RaisingResource(int id, const std::string& type);
std::span<const std::uint8_t> RaisingBytes(int id);
long RaisingNumber(int id);
const char* RaisingPointer(int id);

}  // namespace quorvale::testing
