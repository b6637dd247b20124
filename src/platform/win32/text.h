// The game keeps its messages and face names in UTF-8 and its screen texts
// in Shift-JIS; the wide-character APIs want UTF-16.
#pragma once

#include <string>

constexpr unsigned kShiftJisCodePage = 932;

// Bytes that do not decode become U+FFFD; null gives an empty string.
std::wstring WideFromUtf8(const char* text);
// `length` bytes of Shift-JIS (ASCII included).
std::wstring WideFromShiftJis(const char* text, int length);
