// The item file: the 87 entries of `voci`, entry 0 first, each record
// kBytesVoceVuota bytes plus the length of its name; the file is 87·34 bytes
// plus the lengths of all names.
#ifndef COMPILER_FORMATO_VOCI_H_
#define COMPILER_FORMATO_VOCI_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "compiler/formato.h"
#include "compiler/modello.h"

namespace scenario {

namespace formato {
inline constexpr int kVociNelFile = kNumeroVoci;
inline constexpr std::size_t kBytesVoceVuota = 34;
namespace voce {
inline constexpr std::size_t tipo = 0;         // u8
inline constexpr std::size_t inizio = 1;       // i32
inline constexpr std::size_t fine = 5;         // i32
inline constexpr std::size_t posizione = 9;    // i32
inline constexpr std::size_t attributo_1 = 13; // u8
inline constexpr std::size_t nome = 14;        // u16 count, then the bytes
// Offsets after the name, counted from the end of its bytes (16 + n).
inline constexpr std::size_t dopo_nome = 16;
inline constexpr std::size_t gruppo_1a = 0;    // i16
inline constexpr std::size_t gruppo_1b = 2;    // i16
inline constexpr std::size_t gruppo_2a = 4;    // i16
inline constexpr std::size_t gruppo_2b = 6;    // i16
inline constexpr std::size_t gruppo_2c = 8;    // i16
inline constexpr std::size_t gruppo_1c = 10;   // u8
inline constexpr std::size_t attributo_4 = 11; // u8
inline constexpr std::size_t attributo_3 = 12; // u8
inline constexpr std::size_t attributo_2 = 13; // u8
inline constexpr std::size_t orario = 14;      // i32
}  // namespace voce
// The longest record: a name's count is 16 bits.
inline constexpr std::size_t kBytesVoceMassima = kBytesVoceVuota + 65535;
// The largest item file there can be.
inline constexpr std::size_t kBytesVociMassimi = kVociNelFile * kBytesVoceMassima;
}  // namespace formato

// Every field of an item record in file order: `f(campo_record, member)`,
// the name (a std::string) among them at its place. The one list of the
// layout: the writer, the reader and the tool's printer all go through it.
template <typename V, typename F>
constexpr void campi_voce(V& v, F&& f) {
  namespace o = formato::voce;
  f(campo_record{"tipo", o::tipo}, v.tipo);
  f(campo_record{"inizio", o::inizio}, v.inizio);
  f(campo_record{"fine", o::fine}, v.fine);
  f(campo_record{"posizione", o::posizione}, v.posizione);
  f(campo_record{"attributo_1", o::attributo_1}, v.attributo_1);
  f(campo_record{"nome", o::nome}, v.nome);
  f(campo_record{"gruppo_1a", o::gruppo_1a, true}, v.gruppo_1a);
  f(campo_record{"gruppo_1b", o::gruppo_1b, true}, v.gruppo_1b);
  f(campo_record{"gruppo_2a", o::gruppo_2a, true}, v.gruppo_2a);
  f(campo_record{"gruppo_2b", o::gruppo_2b, true}, v.gruppo_2b);
  f(campo_record{"gruppo_2c", o::gruppo_2c, true}, v.gruppo_2c);
  f(campo_record{"gruppo_1c", o::gruppo_1c, true}, v.gruppo_1c);
  f(campo_record{"attributo_4", o::attributo_4, true}, v.attributo_4);
  f(campo_record{"attributo_3", o::attributo_3, true}, v.attributo_3);
  f(campo_record{"attributo_2", o::attributo_2, true}, v.attributo_2);
  f(campo_record{"orario", o::orario, true}, v.orario);
}

// Bytes of the record of `v`.
inline std::size_t bytes_voce(const voce& v) { return formato::kBytesVoceVuota + v.nome.size(); }

// One record at p, bytes_voce(v) long; returns the end. The name must hold
// at most 65535 bytes.
char* codifica_voce(char* p, const voce& v);
// Record `i` at `offset` of the file, checked against its end; returns the
// offset after it.
std::size_t decodifica_voce(std::string_view byte, std::size_t offset, int i, voce& v);

// The whole file; a name over 65535 bytes has no image: std::length_error.
std::string immagine_voci(const std::array<voce, kNumeroVoci>& voci);
// Exactly 87 records filling the bytes, or errore_decodifica.
std::array<voce, kNumeroVoci> decodifica_voci(std::string_view byte);
// Offset of each record in the file.
std::array<std::size_t, kNumeroVoci> offset_voci(const std::array<voce, kNumeroVoci>& voci);

}  // namespace scenario

#endif  // COMPILER_FORMATO_VOCI_H_
