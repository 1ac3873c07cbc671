// Random bytes from the system's cryptographic generator, as advapi32
// offers them (RtlGenRandom, exported as SystemFunction036).
#pragma once

#include "quorvale/win32/types.h"

namespace quorvale::win32 {

using BOOLEAN = unsigned char;
using ULONG = std::uint32_t;

// Fills the buffer; FALSE when the generator could not give that many bytes.
BOOLEAN RtlGenRandom(LPVOID buffer, ULONG length);

}  // namespace quorvale::win32
