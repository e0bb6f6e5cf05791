#pragma once
// Character classes of single-byte Windows-1252 text, one entry per byte value.

#include <array>
#include <cstdint>

enum CharClass : std::uint8_t {
    kClassEnd = 0x01,      // 0x00, the end of a text
    kClassLineEnd = 0x02,  // CR, LF
    kClassBlank = 0x04,    // space, tab
    kClassDigit = 0x08,    // 0-9
    kClassUpper = 0x10,    // A-Z and 0xC0-0xDD
    kClassLower = 0x20,    // a-z and 0xDF-0xFD
    kClassPunct = 0x40,    // the other visible ASCII characters
};

extern const std::array<std::uint8_t, 256> ClassTable;

inline bool HasClass(std::uint8_t byte, std::uint8_t classes)
{
    return (ClassTable[byte] & classes) != 0;
}

// The characters that are covered in an answer and uncovered one by one: digits and letters.
// 0xD7 and 0xF7 count as letters, 0xDE, 0xFE and 0xFF do not.
inline bool IsAnswerLetter(std::uint8_t byte)
{
    return HasClass(byte, kClassDigit | kClassUpper | kClassLower);
}
