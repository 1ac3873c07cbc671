#include "quorvale/win32/vb_random.h"

#include <bit>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <mutex>

#include "quorvale/machine/clock.h"

namespace quorvale::win32 {

namespace {

std::mutex state_mutex;
std::uint32_t state = 0x50000;

constexpr std::uint32_t kMask24 = 0xFFFFFF;

float Fraction(std::uint32_t x) { return static_cast<float>(x) / 16777216.0f; }

}  // namespace

float Timer() {
  if (OnTestClock()) return static_cast<float>(static_cast<double>(ClockNow() % 86400000) / 1000.0);
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  ::localtime_r(&seconds, &local);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec +
                            static_cast<double>(ms) / 1000.0);
}

void Randomize() { Randomize(static_cast<double>(Timer())); }

void Randomize(double number) {
  const auto h = static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(number) >> 32);
  const std::uint32_t t = ((h & 0xFFFF) ^ (h >> 16)) << 8;
  std::lock_guard lock(state_mutex);
  state = (state & 0xFF0000FF) | (t & 0x00FFFF00);
}

float Rnd(float number) {
  std::lock_guard lock(state_mutex);
  if (number < 0) {
    const auto bits = std::bit_cast<std::uint32_t>(number);
    state = ((bits & kMask24) + (bits >> 24)) & kMask24;
  }
  if (number != 0) state = (state * 1140671485u + 12820163u) & kMask24;
  return Fraction(state);
}

}  // namespace quorvale::win32
