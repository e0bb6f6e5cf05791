#include "support/ClassTable.h"

namespace {

constexpr std::array<std::uint8_t, 256> MakeClassTable()
{
    std::array<std::uint8_t, 256> table{};
    table[0x00] = kClassEnd;
    table['\r'] = table['\n'] = kClassLineEnd;
    table[' '] = table['\t'] = kClassBlank;
    for (int c = 0x21; c < 0x7F; ++c)
        table[c] = kClassPunct;
    for (int c = '0'; c <= '9'; ++c)
        table[c] = kClassDigit;
    for (int c = 'A'; c <= 'Z'; ++c)
        table[c] = kClassUpper;
    for (int c = 'a'; c <= 'z'; ++c)
        table[c] = kClassLower;
    for (int c = 0xC0; c <= 0xDD; ++c)
        table[c] = kClassUpper;
    for (int c = 0xDF; c <= 0xFD; ++c)
        table[c] = kClassLower;
    return table;
}

}  // namespace

const std::array<std::uint8_t, 256> ClassTable = MakeClassTable();
