#include "platform/text.h"

#include <windows.h>

std::u16string AnsiToUtf16(const char* text) {
  const int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (units <= 1) return std::u16string();
  std::u16string out(static_cast<std::size_t>(units), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<wchar_t*>(&out[0]), units);
  out.resize(static_cast<std::size_t>(units - 1));
  return out;
}
