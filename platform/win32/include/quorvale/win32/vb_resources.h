// LoadResData of the Basic runtime: a resource of the running program as a
// byte array, over FindResourceA / LoadResource / LockResource.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvale::win32 {

inline constexpr std::int32_t kErrResourceNotFound = 326;

// The bytes of resource <type> <id>, where the loader mapped them (they live
// as long as the program). Raises RaisedError 326 when there is none.
std::string_view LoadResData(int id, const std::string& type);

}  // namespace quorvale::win32
