// Little-endian encoding of the binary files: every value that the formats
// (compiler/formato_*.h) write or read goes through these few functions.
//
// The `metti_` functions write at a cursor into a buffer that the caller has
// already sized, and return the cursor after the value; the `aggiungi_`
// functions append to a string. Both produce the same bytes.
#ifndef COMPILER_CODIFICA_H_
#define COMPILER_CODIFICA_H_

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace scenario {

static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559, "binary64 is required");

inline char* metti_8(char* p, uint8_t v) {
  *p = static_cast<char>(v);
  return p + 1;
}

// On a little-endian machine the value's own bytes are already in file
// order, and one copy is one store: the geometry file writes tens of millions
// of these.
inline char* metti_16(char* p, uint16_t v) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &v, 2);
  } else {
    p[0] = static_cast<char>(v & 0xFFu);
    p[1] = static_cast<char>(v >> 8);
  }
  return p + 2;
}
inline char* metti_16(char* p, int16_t v) { return metti_16(p, static_cast<uint16_t>(v)); }

inline char* metti_32(char* p, uint32_t v) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &v, 4);
  } else {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFFu);
  }
  return p + 4;
}
inline char* metti_32(char* p, int32_t v) { return metti_32(p, static_cast<uint32_t>(v)); }

inline char* metti_64(char* p, uint64_t v) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &v, 8);
  } else {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFFu);
  }
  return p + 8;
}

// IEEE 754 binary64, bit for bit (the sign of zero and NaN payloads kept).
inline char* metti_reale(char* p, double v) { return metti_64(p, std::bit_cast<uint64_t>(v)); }

// Bytes taken by a string inside a record: the 16-bit count, then the bytes.
inline std::size_t misura_stringa(std::string_view s) { return 2 + s.size(); }

// The count is 16 bits: a longer string has no encoding, and the caller must
// have refused it before sizing the buffer.
inline char* metti_stringa(char* p, std::string_view s) {
  p = metti_16(p, static_cast<uint16_t>(s.size()));
  if (!s.empty()) std::memcpy(p, s.data(), s.size());
  return p + s.size();
}

// Appending forms, for small records.
inline void aggiungi_8(std::string& s, uint8_t v) { s.push_back(static_cast<char>(v)); }
inline void aggiungi_16(std::string& s, int16_t v) {
  char b[2];
  s.append(b, metti_16(b, v));
}
inline void aggiungi_32(std::string& s, int32_t v) {
  char b[4];
  s.append(b, metti_32(b, v));
}
inline void aggiungi_reale(std::string& s, double v) {
  char b[8];
  s.append(b, metti_reale(b, v));
}
inline void aggiungi_stringa(std::string& s, std::string_view v) {
  aggiungi_16(s, static_cast<int16_t>(static_cast<uint16_t>(v.size())));
  s.append(v);
}

// Decoders, the exact inverses, for whoever reads the files back.
inline uint8_t decodifica_8(const char* p) { return static_cast<uint8_t>(*p); }
inline uint16_t decodifica_u16(const char* p) {
  return static_cast<uint16_t>(static_cast<uint8_t>(p[0]) | (static_cast<uint8_t>(p[1]) << 8));
}
inline int16_t decodifica_16(const char* p) { return static_cast<int16_t>(decodifica_u16(p)); }
inline uint32_t decodifica_u32(const char* p) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(p[i]);
  return v;
}
inline int32_t decodifica_32(const char* p) { return static_cast<int32_t>(decodifica_u32(p)); }
inline uint64_t decodifica_u64(const char* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(p[i]);
  return v;
}
inline double decodifica_reale(const char* p) { return std::bit_cast<double>(decodifica_u64(p)); }

// A record's whole-number field, in the width of its type: the record
// formats write and read every field through these.
inline char* metti_intero(char* p, uint8_t v) { return metti_8(p, v); }
inline char* metti_intero(char* p, int16_t v) { return metti_16(p, v); }
inline char* metti_intero(char* p, int32_t v) { return metti_32(p, v); }
inline void decodifica_in(const char* p, uint8_t& v) { v = decodifica_8(p); }
inline void decodifica_in(const char* p, int16_t& v) { v = decodifica_16(p); }
inline void decodifica_in(const char* p, int32_t& v) { v = decodifica_32(p); }

}  // namespace scenario

#endif  // COMPILER_CODIFICA_H_
