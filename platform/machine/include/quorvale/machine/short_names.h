// 8.3 names as a Chinese (code page 936) Windows makes them: lengths count
// code-page bytes, so a Chinese character takes two of the eight.
#pragma once

#include <functional>
#include <string>

namespace quorvale {

// True when the name is a valid 8.3 name as it stands (letter case aside).
bool FitsShortName(const std::string& name);

// The first of BASE~1.EXT, BASE~2.EXT, ... that `taken` refuses not.
std::string MakeShortName(const std::string& long_name, const std::function<bool(const std::string&)>& taken);

}  // namespace quorvale
