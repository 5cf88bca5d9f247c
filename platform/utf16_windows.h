// UTF-8 and UTF-16 on Windows: the program's text is UTF-8, the system's
// wide-character calls take and give UTF-16. Every conversion between the
// two, and from a code page, goes through here.
#ifndef PLATFORM_UTF16_WINDOWS_H_
#define PLATFORM_UTF16_WINDOWS_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace scenario {

// A length as the system's calls take it; std::length_error past INT_MAX.
int lunghezza_int(std::size_t n);

// Multi-byte text in the code page to UTF-16. With `rigoroso`, a byte
// sequence that is not valid in the code page fails (GetLastError tells
// why); without, it becomes U+FFFD.
bool in_utf16(unsigned codice_pagina, std::string_view s, bool rigoroso, std::wstring& w);

// UTF-8 for text that is only shown: bytes that are not UTF-8 become U+FFFD.
std::wstring utf16_da_mostrare(std::string_view utf8);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf8_di(std::wstring_view w);

}  // namespace scenario

#endif  // PLATFORM_UTF16_WINDOWS_H_
