// Whole text files on the machine in code page 936, read and written
// through the machine's file calls.
#pragma once

#include <string>

namespace quorvale::setup {

// The file's text; raises 53 when it is missing, 75 when it cannot be read
// or holds bytes that would not come back the same when written.
std::string ReadTextFile(const std::string& path);
// Replaces the file with the text, byte for byte as given (no line end
// added); raises 5 for text code page 936 cannot hold, 75 when the file
// cannot be written.
void WriteTextFile(const std::string& path, const std::string& text);

}  // namespace quorvale::setup
