// LoadResData of the Basic runtime: a resource of the running program as a
// byte array, over FindResourceA / LoadResource / LockResource.
#pragma once

#include <string>
#include <string_view>

namespace quorvale::win32 {

// The bytes of resource <type> <id>, where the loader mapped them (they live
// as long as the program). Raises error 326 (Error::kResourceNotFound) when
// there is none.
std::string_view LoadResData(int id, const std::string& type);

}  // namespace quorvale::win32
