// Text handed to the Windows calls: code page 936 bytes, with "?" for each
// character the code page lacks, as Windows' own conversion puts its
// default character there.
#pragma once

#include <string>

namespace quorvale::setup::detail {

std::string AnsiText(const std::string& utf8);

}  // namespace quorvale::setup::detail
