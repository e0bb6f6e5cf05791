#pragma once
// The secret of one switch-on of the phone buzzers: whoever knows it may join, nobody else.

#include <string>
#include <string_view>

// 128 bits from the system's cryptographic generator as 32 lower-case hexadecimal digits.
// Throws std::runtime_error when the generator cannot deliver.
std::string MakeBuzzerToken();

// Compares in time independent of where the texts differ, so a stranger learns nothing from
// how fast a wrong guess is refused. An empty expected token matches nothing.
bool BuzzerTokenMatches(std::string_view expected, std::string_view given);
