#pragma once
// Windows-1252, the single-byte text of the game, to and from Unicode (UTF-8 and UTF-16).

#include <cstdint>
#include <string>
#include <string_view>

char32_t Cp1252ToUnicode(std::uint8_t byte);
// The byte for a code point, or -1 when Windows-1252 has none.
int UnicodeToCp1252(char32_t codePoint);

std::string Cp1252ToUtf8(std::string_view text);
// Code points that Windows-1252 lacks become `replacement`; invalid UTF-8 bytes too.
std::string Utf8ToCp1252(std::string_view text, char replacement = '?');
std::u16string Cp1252ToUtf16(std::string_view text);
std::string Utf16ToCp1252(std::u16string_view text, char replacement = '?');

bool IsValidUtf8(std::string_view text);
// True when text is valid UTF-8 and holds at least one multi-byte sequence (a byte-order mark
// counts), that is when it is not plain ASCII and could not be meant as Windows-1252.
bool LooksLikeUtf8(std::string_view text);
