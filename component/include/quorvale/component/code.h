// The component's transport: one agent command becomes one HTTP GET, and
// the reply body is decoded from GB2312.
#pragma once

#include <optional>
#include <string>

#include "quorvale/com/create_object.h"
#include "quorvale/core/variant.h"

namespace quorvale::component {

// "http://" ip ":" port "/" command "?ServerPassWord=" password, then "&"
// and the query when the query is not empty. Nothing when a value has no
// text form.
std::optional<std::string> CommandUrl(const Variant& ip, const Variant& port, const Variant& password,
                                      const Variant& command, const Variant& query);

// The URL as it goes on the wire, character by character: control
// characters, blanks, DEL and "#" percent-encoded; a character outside ASCII
// as its code-page-936 bytes, or its own UTF-8 bytes where code page 936 has
// no place for it, every byte percent-encoded; the rest ("&", "=", "?" and
// "%" included) as it stands, so the agent splits the query as before.
std::string WireUrl(std::string url);

// Sends the command and returns the decoded body of any completed response,
// or Empty when the request did not complete. Never raises.
Variant SendCommand(const Variant& ip, const Variant& port, const Variant& password, const Variant& command,
                    const Variant& query);

// Decodes a byte array in the named charset through adodb.stream, made by
// host; Empty when anything fails. Never raises.
Variant BytesToText(Variant bytes, const Variant& charset, const ComHost& host = DefaultComHost());

}  // namespace quorvale::component
