#include "quorvale/win32/vb_resources.h"

#include "quorvale/core/errors.h"
#include "quorvale/win32/resources.h"

namespace quorvale::win32 {

std::string_view LoadResData(int id, const std::string& type) {
  HRSRC found = id >= 0 && id <= 0xFFFF
                    ? FindResourceA(nullptr, MAKEINTRESOURCEA(static_cast<WORD>(id)), type.c_str())
                    : nullptr;
  if (found == nullptr) Raise(Error::kResourceNotFound, std::to_string(id));
  return {static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
          SizeofResource(nullptr, found)};
}

}  // namespace quorvale::win32
