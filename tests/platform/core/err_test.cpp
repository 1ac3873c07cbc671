#include "quorvale/core/err.h"

#include <gtest/gtest.h>

namespace quorvale {
namespace {

TEST(Err, ResumeRecordsAndSkips) {
  Err err;
  int after = 0;
  EXPECT_FALSE(err.Resume([&] {
    err.Raise(429, "no object");
    after = 1;
  }));
  EXPECT_EQ(after, 0);
  EXPECT_EQ(err.Number(), 429);
  // A later statement that succeeds leaves the recorded error in place.
  EXPECT_TRUE(err.Resume([&] { after = 2; }));
  EXPECT_EQ(after, 2);
  EXPECT_TRUE(err);
  err.Clear();
  EXPECT_FALSE(err);
  EXPECT_FALSE(err.Resume([] { throw std::runtime_error("x"); }));
  EXPECT_EQ(err.Number(), 51);
}

}  // namespace
}  // namespace quorvale
