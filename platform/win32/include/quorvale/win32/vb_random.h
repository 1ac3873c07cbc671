// Timer, Randomize and Rnd of the Basic runtime.
//
// Rnd draws from the runtime's 24-bit generator: state x, next
// x = (x * 1140671485 + 12820163) mod 2^24, the result x / 2^24 as a single.
// The state belongs to the process and starts at 0x50000, so every fresh
// process that draws without Randomize gets the same numbers.
#pragma once

namespace quorvale::win32 {

// Seconds since midnight as a single. On the machine's test clock, the
// virtual time since the clock started (midnight at its start), so runs on
// it are repeatable.
float Timer();

// Mixes the bits of the number into the middle two bytes of the state; the
// low and the high byte are kept. Without a number, from Timer().
void Randomize();
void Randomize(double number);

// number > 0 (or none): the next number. 0: the last number again.
// number < 0: the state is set from the bits of the number as a single,
// then the next number is drawn (the same result for the same number).
float Rnd(float number = 1.0f);

}  // namespace quorvale::win32
