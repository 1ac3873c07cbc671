// UnpackPayload: the payload archive and its unpacker written out of the
// program's own resources into the install folder, one byte per write with
// a turn of the message loop before each, then the unpacker started hidden
// on the archive. Nothing waits for it: later steps wait for the files they
// need (SleepFile).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "quorvale/setup/step_reporter.h"

namespace quorvale::setup {

// The bar takes width just before the byte of that index is written.
struct ProgressPoint {
  std::int64_t index;
  int width;
};

// One resource written to a file: its "CUSTOM" resource, the last byte
// index written (the resource's size less one) and the progress points in
// increasing order.
struct ResourceWrite {
  int resource;
  std::int64_t last_index;
  std::span<const ProgressPoint> points;
};

// How a program unpacks: the two steps' captions and list lines, the two
// resources, the widths at the start, after the writes (none: 0) and once
// the unpacker is started.
struct PayloadVariant {
  const char* writing_step;
  const char* unpacking_step;
  ResourceWrite archive;
  ResourceWrite unpacker;
  int start_width;
  int written_width;
  int end_width;
};

extern const PayloadVariant kServerEndPayload;
extern const PayloadVariant kControlEndPayload;

// Writes the resource's bytes 0 to last_index into path (made anew), one
// write per index with a loop turn before each. An index past the end of
// the resource is never read: its write fails and is skipped. A resource
// that cannot be loaded or a file that cannot be opened leaves the error
// state set and every write skipped; the loop turns and widths still come.
void WriteResourceFile(StepReporter& reporter, const ResourceWrite& resource, const std::string& path);

// The two steps: writing Quorvale.rar and Rar.exe into folder, then
// starting folder "\Rar.exe x -r -y -o+ " with the short archive and the
// short folder, hidden. Every failure is skipped silently.
void UnpackPayload(StepReporter& reporter, const PayloadVariant& variant, const std::string& folder);

// The unpacker's command line for an install folder: the folder as typed,
// then the short paths of the archive and of the folder (without a
// trailing backslash).
std::string UnpackCommand(const std::string& folder);

}  // namespace quorvale::setup
