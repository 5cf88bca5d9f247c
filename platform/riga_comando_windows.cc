// On Windows the narrow argv is in the ANSI code page, which loses every
// character outside it: the arguments are read from the wide command line.
// The C runtime's streams would write the bytes to a console in its output
// code page (UTF-8 shows as "nÃ©") and turn "\n" into "\r\n" in a file: here a
// console gets the text through WriteConsoleW, and anything else the bytes
// unchanged through WriteFile.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <array>
#include <cstddef>
#include <streambuf>
#include <string>

#include "platform/riga_comando.h"

namespace scenario {
namespace {

std::string utf8_di(const wchar_t* w) {
  const int len = ::WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
  if (len <= 1) return {};
  std::string s(static_cast<std::size_t>(len), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), len, nullptr, nullptr);
  s.pop_back();  // the terminating NUL
  return s;
}

// How many of the n bytes form whole UTF-8 sequences: a sequence cut at the
// end waits for the rest of its bytes.
std::size_t sequenze_intere(const char* p, std::size_t n) {
  for (std::size_t indietro = 1; indietro <= std::min<std::size_t>(n, 4); ++indietro) {
    const auto b = static_cast<unsigned char>(p[n - indietro]);
    if ((b & 0xC0) == 0x80) continue;  // a continuation byte
    const std::size_t lunghezza = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    return lunghezza > indietro ? n - indietro : n;
  }
  return n;
}

class flusso_windows : public std::streambuf {
 public:
  explicit flusso_windows(DWORD quale) : handle_(::GetStdHandle(quale)) {
    DWORD modo = 0;
    consolle_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle_, &modo) != 0;
    setp(buffer_.data(), buffer_.data() + buffer_.size());
  }
  ~flusso_windows() override {
    scarica(true);
  }

 protected:
  int_type overflow(int_type c) override {
    scarica(false);
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
  }
  int sync() override {
    scarica(false);
    return 0;
  }

 private:
  // Writes what the buffer holds; `tutto` false keeps back a UTF-8 sequence
  // cut at the end, for the console.
  void scarica(bool tutto) {
    const std::size_t n = static_cast<std::size_t>(pptr() - pbase());
    const std::size_t pronti = consolle_ && !tutto ? sequenze_intere(pbase(), n) : n;
    scrivi(pbase(), pronti);
    std::copy(pbase() + pronti, pptr(), buffer_.data());
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    pbump(static_cast<int>(n - pronti));
  }

  // A stream the system cannot write to (closed, or no console attached)
  // takes the text and drops it, as the C runtime does.
  void scrivi(const char* p, std::size_t n) {
    if (n == 0 || handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE) return;
    if (consolle_) {
      const int len = ::MultiByteToWideChar(CP_UTF8, 0, p, static_cast<int>(n), nullptr, 0);
      if (len <= 0) return;
      std::wstring w(static_cast<std::size_t>(len), L'\0');
      ::MultiByteToWideChar(CP_UTF8, 0, p, static_cast<int>(n), w.data(), len);
      for (std::size_t fatto = 0; fatto < w.size();) {
        DWORD scritti = 0;
        if (!::WriteConsoleW(handle_, w.data() + fatto, static_cast<DWORD>(w.size() - fatto), &scritti, nullptr) ||
            scritti == 0) {
          return;
        }
        fatto += scritti;
      }
      return;
    }
    for (std::size_t fatto = 0; fatto < n;) {
      DWORD scritti = 0;
      if (!::WriteFile(handle_, p + fatto, static_cast<DWORD>(n - fatto), &scritti, nullptr) || scritti == 0) return;
      fatto += scritti;
    }
  }

  HANDLE handle_;
  bool consolle_ = false;
  std::array<char, 8192> buffer_{};
};

}  // namespace

// The Windows heap keeps freed blocks for reuse by itself.
void prepara_processo() {}

std::vector<std::string> argomenti_utf8(int argc, char** argv) {
  int n = 0;
  wchar_t** w = ::CommandLineToArgvW(::GetCommandLineW(), &n);
  if (w == nullptr) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::vector<std::string> a;
  for (int i = 1; i < n; ++i) a.push_back(utf8_di(w[i]));
  ::LocalFree(w);
  return a;
}

std::ostream& uscita_utf8() {
  static flusso_windows flusso(STD_OUTPUT_HANDLE);
  static std::ostream uscita(&flusso);
  return uscita;
}

std::ostream& errore_utf8() {
  static flusso_windows flusso(STD_ERROR_HANDLE);
  static std::ostream errore(&flusso);
  errore.setf(std::ios::unitbuf);
  return errore;
}

std::istream& ingresso_binario() {
  // The C runtime would turn CR LF into LF and stop at a Ctrl-Z.
  _setmode(_fileno(stdin), _O_BINARY);
  return std::cin;
}

}  // namespace scenario
