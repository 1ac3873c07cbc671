#include "quorvale/win32/random.h"

#include <sys/random.h>

#include <cerrno>

namespace quorvale::win32 {

BOOLEAN RtlGenRandom(LPVOID buffer, ULONG length) {
  if (!buffer && length) return FALSE;
  auto* out = static_cast<unsigned char*>(buffer);
  ULONG done = 0;
  while (done < length) {
    const ssize_t n = ::getrandom(out + done, length - done, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      return FALSE;
    }
    done += static_cast<ULONG>(n);
  }
  return TRUE;
}

}  // namespace quorvale::win32
