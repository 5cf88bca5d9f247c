#include "platform/utf16_windows.h"

#include "platform/sistema_windows.h"

#include <limits>
#include <stdexcept>

namespace scenario {

int lunghezza_int(std::size_t n) {
  if (n > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw std::length_error("testo troppo lungo per il sistema");
  }
  return static_cast<int>(n);
}

bool in_utf16(unsigned codice_pagina, std::string_view s, bool rigoroso, std::wstring& w) {
  w.clear();
  if (s.empty()) return true;
  const DWORD opzioni = rigoroso ? MB_ERR_INVALID_CHARS : 0;
  const int len = ::MultiByteToWideChar(codice_pagina, opzioni, s.data(), lunghezza_int(s.size()), nullptr, 0);
  if (len <= 0) return false;
  w.resize(static_cast<std::size_t>(len));
  return ::MultiByteToWideChar(codice_pagina, opzioni, s.data(), lunghezza_int(s.size()), w.data(), len) == len;
}

std::wstring utf16_da_mostrare(std::string_view utf8) {
  std::wstring w;
  in_utf16(CP_UTF8, utf8, false, w);
  return w;
}

std::string utf8_di(std::wstring_view w) {
  if (w.empty()) return {};
  const int len =
      ::WideCharToMultiByte(CP_UTF8, 0, w.data(), lunghezza_int(w.size()), nullptr, 0, nullptr, nullptr);
  if (len <= 0) return {};
  std::string s(static_cast<std::size_t>(len), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w.data(), lunghezza_int(w.size()), s.data(), len, nullptr, nullptr);
  return s;
}

}  // namespace scenario
