// GetLetter: random texts of letters and digits for the site accounts'
// passwords.
#include <array>

#include "quorvale/core/err.h"
#include "quorvale/core/errors.h"
#include "quorvale/setup/system_helpers.h"
#include "quorvale/win32/random.h"

namespace quorvale::setup {

namespace {

// Bytes at or above this would favour the first characters: 256 is not a
// multiple of 62, 248 is.
constexpr unsigned kFairBytes = 256 - 256 % kLetterAlphabet.size();

}  // namespace

std::string SystemHelpers::GetLetter(int count) {
  std::string text;
  if (count <= 0) return text;
  text.reserve(static_cast<std::size_t>(count));
  std::array<unsigned char, 64> pool{};
  while (text.size() < static_cast<std::size_t>(count)) {
    if (!win32::RtlGenRandom(pool.data(), static_cast<win32::ULONG>(pool.size())))
      Raise(Error::kInternal, "no random bytes from the system");
    for (unsigned char b : pool) {
      if (b >= kFairBytes) continue;
      text += kLetterAlphabet[b % kLetterAlphabet.size()];
      if (text.size() == static_cast<std::size_t>(count)) break;
    }
  }
  return text;
}

}  // namespace quorvale::setup
