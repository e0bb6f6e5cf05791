#pragma once
// The two number notations that the quiz master types.

#include <cstdint>
#include <string>
#include <string_view>

// Puzzle numbers and COM ports: blanks and tabs skipped, an optional "-", then a prefix 0x, 0d, 0o
// or 0b (either case) choosing base 16, 10, 8 or 2, else decimal; digits of the base follow
// (letters are digits 10 to 35) up to the first other character. No digits give 0.
std::int32_t ParseNumber(std::string_view text);
// The same parse before it is stored in 32 bits: the magnitude saturates at 4294967295 and the
// sign applies afterwards, so that a huge number stays out of range instead of wrapping to a
// small or negative one (a typed puzzle number of 4294967295 must not become puzzle 1).
std::int64_t ParseNumberWide(std::string_view text);

// The number prompt: like ParseNumber (with "+" allowed, without 0d), and also the suffixes
// h, o and b (12h, 17o, 101b). A value beyond 32 bits becomes 4294967295 before the sign.
std::int32_t ParseNumberInput(std::string_view text);

// The text of a number in a prompt's format: 0 signed decimal, 1 "0x" hex, 2 "0b" binary,
// 3 "0o" octal, 4 hex with "h", 5 binary with "b", 6 octal with "o", others unsigned decimal.
std::string FormatNumber(std::int32_t value, int format);
