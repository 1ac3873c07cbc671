// A local keeps its first value when the only other store to it is in a
// statement that raises under resume-on-error. GCC 12 at -O1 and above
// dropped that first value for locals of two words, and for a local filled
// through a reference by a function of the same file in a try block (the
// build passes -fno-tree-dse to every file for it); the calls that raise
// live in another translation unit, as LoadResData does for the recipes.
#include <gtest/gtest.h>

#include <string>

#include "quorvale/core/err.h"
#include "raising_calls.h"

namespace quorvale::testing {
namespace {

// What the local holds after the statement, as text.
std::string Held(std::size_t size, const void* data) {
  return std::to_string(size) + (data ? " at an address" : " nowhere");
}

[[gnu::noinline]] std::string TextLeft(Err& err, int id) {
  std::string_view data;
  err.Resume([&] { data = RaisingText(id); });
  return Held(data.size(), data.data());
}

[[gnu::noinline]] std::string ResourceLeft(Err& err, int id) {
  std::string_view data;
  err.Resume([&] { data = RaisingResource(id, "CUSTOM"); });
  return Held(data.size(), data.data());
}

[[gnu::noinline]] std::string BytesLeft(Err& err, int id) {
  std::span<const std::uint8_t> bytes;
  err.Resume([&] { bytes = RaisingBytes(id); });
  return Held(bytes.size(), bytes.data());
}

[[gnu::noinline]] std::string NumberLeft(Err& err, int id) {
  long n = 0;
  err.Resume([&] { n = RaisingNumber(id); });
  return std::to_string(n);
}

[[gnu::noinline]] std::string PointerLeft(Err& err, int id) {
  const char* p = nullptr;
  err.Resume([&] { p = RaisingPointer(id); });
  return Held(0, p);
}

// The same fault without Resume or a lambda: a local filled through a
// reference by a function of this file, in a try block.
[[gnu::noinline]] void FillText(std::string_view& data, int id) { data = RaisingText(id); }

[[gnu::noinline]] std::string FilledLeft(Err& err, int id) {
  std::string_view data;
  try {
    FillText(data, id);
  } catch (const RaisedError& e) {
    err.Set(e.Number(), e.what());
  }
  return Held(data.size(), data.data());
}

volatile unsigned long seed = 0x5A5A5A5A;
volatile unsigned long sink;

// Calls the probe while six values live across the call, so the registers
// a callee keeps for its caller hold something other than zero when the
// probe starts: a dropped first store shows as one of them.
[[gnu::noinline]] std::string WithBusyRegisters(std::string (*probe)(Err&, int), Err& err, int id) {
  const unsigned long a = seed, b = seed * 3, c = seed * 5, d = seed * 7, e = seed * 11, f = seed * 13;
  std::string left = probe(err, id);
  sink = a + b * c + d * e + f;
  return left;
}

TEST(ResumeOnError, ALocalKeepsItsFirstValueWhenTheStatementRaises) {
  struct Case {
    const char* name;
    std::string (*probe)(Err&, int);
    std::int32_t number;
    const char* left;
  };
  const Case cases[] = {
      {"text", TextLeft, 326, "0 nowhere"},      {"resource", ResourceLeft, 326, "0 nowhere"},
      {"bytes", BytesLeft, 9, "0 nowhere"},      {"number", NumberLeft, 9, "0"},
      {"pointer", PointerLeft, 53, "0 nowhere"}, {"filled", FilledLeft, 326, "0 nowhere"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (int round = 0; round < 3; ++round) {
      Err err;
      EXPECT_EQ(WithBusyRegisters(c.probe, err, 999), c.left);
      EXPECT_EQ(err.Number(), c.number);
    }
  }
}

TEST(ResumeOnError, ALocalTakesTheValueOfAStatementThatCompletes) {
  Err err;
  EXPECT_EQ(WithBusyRegisters(TextLeft, err, 0), "5 at an address");
  EXPECT_EQ(WithBusyRegisters(ResourceLeft, err, 0), "6 at an address");
  EXPECT_EQ(WithBusyRegisters(BytesLeft, err, 0), "3 at an address");
  EXPECT_EQ(WithBusyRegisters(NumberLeft, err, 0), "7");
  EXPECT_EQ(WithBusyRegisters(PointerLeft, err, 0), "0 at an address");
  EXPECT_EQ(WithBusyRegisters(FilledLeft, err, 0), "5 at an address");
  EXPECT_FALSE(err);
}

}  // namespace
}  // namespace quorvale::testing
