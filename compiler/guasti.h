// The fault codes that a compile records, and what each means to an author.
// One table holds them all: the readers, the placement, the track completion
// and the authors' tool all take their codes and meanings from here.
#ifndef COMPILER_GUASTI_H_
#define COMPILER_GUASTI_H_

#include <cstdint>
#include <span>

namespace scenario {

// The values are those the program has always recorded; 26 to 28 and 104 to
// 107 are this program's refusals where a description would otherwise write
// outside the tables.
enum codice_guasto : int32_t {
  codice_lunghezza_eccessiva = 1,   // "lunghezza percorso" above 1000000 m
  codice_progressiva_fuori_passo = 2,  // a chainage stretch off the 50 m grid
  codice_ripetizione_inizio = 3,
  codice_ripetizione_fine = 4,
  codice_ripetizione_codici = 5,
  codice_cartello_occupato = 6,
  codice_abbattimento_occupato = 7,
  codice_stazione_fuori_passo = 8,
  codice_zona_fuori_passo = 9,
  codice_stazioni_esaurite = 10,    // the stations reached the sign texts' entries
  codice_marcatore_segnale = 11,    // track completion, rule of the signals
  codice_marcatore_gruppo = 12,     // track completion, groups before a start
  codice_marcatore_percorso = 13,   // track completion, through or after a slowdown
  codice_fuori_percorso = 15,       // a position beyond the track: reading stops
  codice_segnale_occupato = 16,
  codice_avviso_occupato = 17,
  codice_inizio_occupato = 18,
  codice_fine_occupato = 19,
  codice_preavviso_occupato = 20,
  codice_indicatore_occupato = 21,
  codice_stazioni_vicine = 22,
  codice_segnaposto_iniziale = 24,  // a station marker on cell 1 or before
  codice_lettura = 25,              // any run-time failure while reading
  codice_treno_prima_origine = 26,
  codice_segnaposto_oltre = 27,
  codice_fine_fuori = 28,
  codice_linea_assente = 101,
  codice_generale_assente = 102,
  codice_curva = 103,
  codice_linea_prima_origine = 104,
  codice_troppi_cartelli = 105,
  codice_troppe_montagne = 106,
  codice_lunghezza_negativa = 107,
};

struct significato_codice {
  codice_guasto codice;
  // The fault carries the position of its record (or cell); for the others
  // `posizione_errore` is whatever an earlier fault left.
  bool con_posizione;
  const char* testo;  // UTF-8, Italian, for the author
};

// Every code that the compiler records, in increasing order.
std::span<const significato_codice> significati_guasti();

// The entry of a code; nullptr for a code that nothing records.
const significato_codice* cerca_guasto(int32_t codice);

}  // namespace scenario

#endif  // COMPILER_GUASTI_H_
