#include "platform/cp1252.h"

#include <stdexcept>

namespace scenario {
namespace {

// Code points of bytes 0x80 to 0x9F; 0 where the byte is unassigned.
constexpr char32_t kAlti[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

unsigned char byte_di(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (int i = 0; i < 32; ++i) {
    if (kAlti[i] != 0 && kAlti[i] == c) return static_cast<unsigned char>(0x80 + i);
  }
  throw std::invalid_argument("carattere U+" + std::to_string(static_cast<unsigned long>(c)) +
                              " non rappresentabile in Windows-1252");
}

void metti_utf8(std::string& s, char32_t c) {
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string utf8_in_cp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    int seguenti;
    char32_t c;
    if (b < 0x80) {
      c = b;
      seguenti = 0;
    } else if ((b & 0xE0) == 0xC0) {
      c = b & 0x1F;
      seguenti = 1;
    } else if ((b & 0xF0) == 0xE0) {
      c = b & 0x0F;
      seguenti = 2;
    } else if ((b & 0xF8) == 0xF0) {
      c = b & 0x07;
      seguenti = 3;
    } else {
      throw std::invalid_argument("UTF-8 non valido");
    }
    if (seguenti > 0 && i + seguenti >= utf8.size()) {
      throw std::invalid_argument("UTF-8 troncato");
    }
    for (int k = 1; k <= seguenti; ++k) {
      const unsigned char t = static_cast<unsigned char>(utf8[i + k]);
      if ((t & 0xC0) != 0x80) throw std::invalid_argument("UTF-8 non valido");
      c = (c << 6) | (t & 0x3F);
    }
    // One character has one spelling: a longer form (C0 AF for "/", C0 80
    // for NUL) would pass a check made on the bytes.
    constexpr char32_t kMinimo[] = {0, 0x80, 0x800, 0x10000};
    if (c < kMinimo[seguenti]) throw std::invalid_argument("UTF-8 non valido: forma troppo lunga");
    if (c >= 0xD800 && c <= 0xDFFF) throw std::invalid_argument("UTF-8 non valido: surrogato UTF-16");
    if (c > 0x10FFFF) throw std::invalid_argument("UTF-8 non valido: oltre U+10FFFF");
    out += static_cast<char>(byte_di(c));
    i += 1 + seguenti;
  }
  return out;
}

std::string cp1252_in_utf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (char ch : ansi) {
    const unsigned char b = static_cast<unsigned char>(ch);
    char32_t c = b;
    if (b >= 0x80 && b < 0xA0) c = kAlti[b - 0x80] != 0 ? kAlti[b - 0x80] : 0xFFFD;
    metti_utf8(out, c);
  }
  return out;
}

std::string cp1252_minuscole(std::string_view ansi) {
  std::string out(ansi);
  for (char& ch : out) {
    const unsigned char b = static_cast<unsigned char>(ch);
    unsigned char m = b;
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
      m = static_cast<unsigned char>(b + 0x20);
    } else if (b == 0x8A || b == 0x8C || b == 0x8E) {
      m = static_cast<unsigned char>(b + 0x10);
    } else if (b == 0x9F) {
      m = 0xFF;
    }
    ch = static_cast<char>(m);
  }
  return out;
}

}  // namespace scenario
