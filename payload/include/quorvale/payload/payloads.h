// The payloads the three programs carry: the server-end and control-end
// archives, the unpacker, and the stand-ins for the files that come from
// outside the system. Everything here is made at build time by payload_gen.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "quorvale/payload/rar_writer.h"

namespace quorvale::payload {

// Exact sizes in bytes: the programs' byte bounds and progress points count
// with them.
inline constexpr std::size_t kServerPayloadSize = 2861144;
inline constexpr std::size_t kClientPayloadSize = 4051116;
inline constexpr std::size_t kUnpackerSize = 314368;
inline constexpr std::size_t kComponentSize = 397312;
inline constexpr std::size_t kDodIdeSize = 98304;
inline constexpr std::size_t kJmailSize = 361984;

// Text in code page 936 with CR LF line ends, from UTF-8 with "\n".
std::string AnsiText(const std::string& utf8);

// A stand-in: a short text saying which file it takes the place of and what
// that file is, in code page 936; padded with zero bytes to size when one
// is given (fails when the text is longer).
std::string StandIn(const std::string& file, const std::string& what, std::size_t size = 0);

// Rar.exe: the stand-in that the machine runs as the unpacker, as the setup
// programs carry it (CUSTOM 102) and as the server end keeps it in Bin.
std::string UnpackerStandIn();
// The control end's two further components and the server end's own
// uninstaller's stand-in for the control end's repair program.
std::string DodIdeStandIn();
std::string JmailStandIn();
std::string RepairProgramStandIn();

// The server end's archive members in archive order; uninstaller is the
// stand-in program packed as the server end's own Uninstall.exe.
std::vector<RarMember> ServerPayloadMembers(const std::string& uninstaller);
// System.ini as shipped: every section and key the install writes, and a
// member of SCRIPT for every script group.
std::string ShippedSystemIni();

// The control end's archive members in archive order, with the given bytes
// of the files built or made elsewhere.
struct ControlEndFiles {
  std::string component;  // Quorvale.dll, padded
  std::string repair;     // Uninstall.exe
  std::string dodide;     // DodIde.dll
  std::string jmail;      // Jmail.dll
};
std::vector<RarMember> ClientPayloadMembers(const ControlEndFiles& files);
// Web\Inc\Conn.asp as shipped, set up for the Access database.
std::string ShippedConnAsp();

}  // namespace quorvale::payload
