#include "platform/win32/text.h"

#include <cstring>

#include "platform/win32/api.h"

namespace {

std::wstring Widen(unsigned codePage, const char* text, int length) {
  if (text == nullptr || length <= 0) return {};
  const int size = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
  if (size <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(codePage, 0, text, length, wide.data(), size);
  return wide;
}

}  // namespace

std::wstring WideFromUtf8(const char* text) {
  if (text == nullptr) return {};
  return Widen(CP_UTF8, text, static_cast<int>(std::strlen(text)));
}

std::wstring WideFromShiftJis(const char* text, int length) {
  return Widen(kShiftJisCodePage, text, length);
}
