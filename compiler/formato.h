// Layout of the three binary files, shared by the writer and the tests that
// read the files back. The files have no header and no record count: the
// item file always has kVociNelFile records; the other two are sized by the
// line length.
#ifndef COMPILER_FORMATO_H_
#define COMPILER_FORMATO_H_

#include <cstddef>
#include <cstdint>

#include "compiler/modello.h"

namespace scenario::formato {

// Tags of a tagged number in the line geometry file.
inline constexpr uint16_t kEtichettaVuoto = 0;
inline constexpr uint16_t kEtichettaIntero = 2;
inline constexpr uint16_t kEtichettaReale = 5;
static_assert(kEtichettaVuoto == numero_etichettato::vuoto && kEtichettaIntero == numero_etichettato::intero &&
              kEtichettaReale == numero_etichettato::reale);

// Line geometry: all x of metres 0 to N, then all y, one tagged number each.
inline constexpr std::size_t kBytesVuoto = 2;
inline constexpr std::size_t kBytesIntero = 4;
inline constexpr std::size_t kBytesReale = 10;

// Item file: kVociNelFile records of kBytesVoceVuota + length of `nome`.
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
static_assert(dopo_nome + orario + 4 == kBytesVoceVuota);
}  // namespace voce

// Track file: one record per cell, cell k at offset kBytesCella * k.
inline constexpr std::size_t kBytesCella = 15;
namespace cella {
inline constexpr std::size_t tipo = 0;           // u8
inline constexpr std::size_t dato1 = 1;          // i16
inline constexpr std::size_t dato2 = 3;          // i16
inline constexpr std::size_t dato3 = 5;          // i16
inline constexpr std::size_t dato4 = 7;          // i16
inline constexpr std::size_t tempo_segnale = 9;  // u8
inline constexpr std::size_t richiamo = 10;      // u8
inline constexpr std::size_t montagna = 11;      // u8
inline constexpr std::size_t velocita_max = 12;  // u8
inline constexpr std::size_t pendenza = 13;      // u8
inline constexpr std::size_t aderenza = 14;      // u8
static_assert(aderenza + 1 == kBytesCella);
}  // namespace cella

}  // namespace scenario::formato

#endif  // COMPILER_FORMATO_H_
