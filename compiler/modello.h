// The compiled scenario model: the tables and scalars that the readers fill
// and the output files write out. Field order, widths and signedness are the
// file formats, so they are fixed here and nowhere else.
#ifndef COMPILER_MODELLO_H_
#define COMPILER_MODELLO_H_

#include <array>
#include <map>
#include <set>
#include <utility>
#include <cstdint>
#include <string>
#include <vector>

namespace scenario {

// One entry of the item table: a station, a sign text, a kilometre
// progressive or the line and train header data.
struct voce {
  uint8_t tipo = 0;
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t posizione = 0;
  uint8_t attributo_1 = 0;
  std::string nome;  // ANSI bytes
  int16_t gruppo_1a = 0;
  int16_t gruppo_1b = 0;
  int16_t gruppo_2a = 0;
  int16_t gruppo_2b = 0;
  int16_t gruppo_2c = 0;
  uint8_t gruppo_1c = 0;
  uint8_t attributo_4 = 0;
  uint8_t attributo_3 = 0;
  uint8_t attributo_2 = 0;
  int32_t orario = 0;
};

// One 50 m cell of the track.
struct cella {
  uint8_t tipo = 0;
  int16_t dato1 = 0;
  int16_t dato2 = 0;
  int16_t dato3 = 0;
  int16_t dato4 = 0;
  uint8_t tempo_segnale = 0;
  uint8_t richiamo = 0;
  uint8_t montagna = 0;
  uint8_t velocita_max = 0;
  uint8_t pendenza = 0;
  uint8_t aderenza = 0;
};

// Cell type codes (`tipo` of `cella`).
enum : uint8_t {
  cella_libera = 0,
  cella_segnale = 1,
  cella_fine_rallentamento = 2,
  cella_inizio_rallentamento = 3,
  cella_avviso_rallentamento = 4,
  cella_preavviso = 5,
  cella_indicatore_v_max = 6,
  cella_stazione = 10,
  cella_montagna = 11,
  cella_abbattimento = 12,
  cella_abbattimento_zero = 13,
  cella_cartello = 14,
};

// A free cell takes any object; every other type refuses all but the
// station marker.
inline bool libera(const cella& c) { return c.tipo == cella_libera || c.tipo == cella_montagna; }

// A number that is empty, a 16-bit integer or a 64-bit real, as the plan
// table holds it. The tag values are the ones written to the file.
struct numero_etichettato {
  enum : uint16_t { vuoto = 0, intero = 2, reale = 5 };
  uint16_t etichetta = vuoto;
  int16_t valore_intero = 0;
  double valore_reale = 0.0;

  static numero_etichettato da_intero(int16_t v) { return {intero, v, 0.0}; }
  static numero_etichettato da_reale(double v) { return {reale, 0, v}; }
  // The value as a real, as arithmetic on the plan sees it (empty is 0).
  double come_reale() const {
    return etichetta == intero ? static_cast<double>(valore_intero) : valore_reale;
  }
};

// A stretch of the plan's steps: the rows after the previous stretch (from
// row 2 for the first) up to row `fino`, each turning at `tasso` radians per
// metre, or straight when `tasso` is 0 (no curve class has a rate of 0).
struct tratto_piano {
  int32_t fino = 0;
  double tasso = 0.0;
};

// The plan table as the curve records decide it: what it takes to compute
// every row again (compiler/tracciato.h), a few numbers per curve and never a
// row per metre. Rows 0 and 1 are the seed, rows 2 to the end of the last
// stretch are computed, the rest are empty.
struct piano_tracciato {
  int32_t righe = 0;       // rows 0 to righe - 1; 0 when there is no table
  bool seminato = false;   // rows 0 and 1 hold the integers (0, 0) and (0, 1)
  std::vector<tratto_piano> tratti;
};

constexpr int kNumeroVoci = 87;
constexpr int kMaxMontagne = 80;
constexpr int32_t kLunghezzaMassima = 1000000;
constexpr int32_t kMargineTracciato = 7000;

// The name of a cell type code ("cella_segnale", ...); "" for a code that
// has no name.
const char* nome_tipo_cella(uint8_t tipo);

// Faults of one code, and warnings of one kind, kept with their particulars;
// the rest are only counted, so that no description makes them unbounded.
constexpr int64_t kDiagnosiPerGenere = 100;

// Another place of the descriptions that a diagnosis speaks of: the record
// that holds a cell, for instance. `chi` names it with its article ("la
// stazione COLLE", "il segnale a 6000 m"); `nota` adds what locates it
// ("zona 14000-14600 m"). Empty `chi`: none.
struct correlato {
  std::string chi;   // UTF-8
  std::string nota;  // UTF-8
  int file = 0;      // as in `guasto`
  int riga = 0;
};

// A fault recorded during a compile: every one, in order, for the authors'
// tool; the model's `codice_errore` keeps only the last.
struct guasto {
  int32_t codice = 0;
  int32_t posizione = 0;   // metres, as `posizione_errore` after recording
  int file = 0;            // 0 none, 1 line description, 2 train description
  int riga = 0;            // line of the record in that file, 0 when unknown
  int ordine = 0;          // place among all faults and warnings of the compile
  std::string dettaglio;   // UTF-8; what failed, when the code alone does not say
  correlato occupante;     // the object on the cell that refused the record
  // False for a fault found by the reading for diagnosis only, past the
  // record where the compile stopped: nothing of its record was compiled.
  bool compilato = true;
};

// Kinds of warning: what the compiler accepts without a fault but an author
// rarely means.
enum : int32_t {
  avviso_sostituzione = 1,     // an object written over another one
  avviso_ordine = 2,           // a record before the previous one of its kind
  avviso_sovrapposizione = 3,  // a curve starting inside the previous curve
  avviso_pendenza = 4,         // a gradient outside -100 to 155 per mille
  avviso_velocita = 5,         // a speed that is not a multiple of 5
  avviso_parola = 6,           // a field in keyword position that is no keyword
  avviso_valori = 7,           // a record whose values run onto another line
  avviso_numero = 8,           // text in a numeric field ("0.6", "120km/h")
  avviso_intestazione = 9,     // a section header that holds a record keyword
  avviso_forma = 10,           // a keyword that is none of its written forms
  avviso_lunghezza = 11,       // a curve or slowdown of zero or negative length
  avviso_scartato = 12,        // a value that the compiler drops
  avviso_descrizione = 13,     // a train description without section, records, stations or speeds
  avviso_codifica = 14,        // a text that looks like UTF-8
  avviso_inghiottito = 15,     // a record taken as the values of the record before it
  avviso_oltre_linea = 16,     // an object or stretch past the line's length, in the track's tail
  avviso_tabulazioni = 17,     // fields separated by tabs alone
  avviso_vuota = 18,           // a train description with no record: an error for the tool
  avviso_lunghezza_assente = 19,  // a line description without "lunghezza percorso"
};

// A warning: recorded beside the faults, it changes nothing in the model.
struct avviso {
  int32_t tipo = 0;        // one of the kinds above
  int32_t posizione = 0;   // metres: the record's position, 0 when it has none
  int file = 0;            // as in `guasto`
  int riga = 0;
  std::string testo;       // UTF-8; the particulars
  int ordine = 0;          // as in `guasto`
  correlato occupante;     // as in `guasto`
  bool compilato = true;   // as in `guasto`
};

// The record that wrote the type of a cell, for the diagnostics only.
struct origine_cella {
  int8_t file = 0;  // 0: no record (a marker of the track completion, or none)
  int32_t riga = 0;
  int32_t posizione = 0;  // the record's position as written, metres
};

// Where the reading of a description stopped, and what the compile lacks
// for it: told once for each description that stopped.
struct arresto_lettura {
  int file = 0;              // 1 line, 2 train
  int riga = 0;              // the record that stopped it
  int32_t codice = 0;
  int dalla_riga = 0;        // the first record not compiled (the next line when none)
  int non_compilati = 0;     // records of this description after it
  std::string per_genere;    // "3 segnale, 2 stazione"
  bool treno_non_letto = false;  // the line stopped before the train was read
  int record_treno = 0;      // then: the train description's records
  std::string mancano;       // UTF-8: what the written files lack, "" when nothing to say
};

// A record met by a reading for diagnosis only.
struct record_letto {
  int file = 0;
  int riga = 0;
  const char* parola = "";  // the record's keyword as written ("segnale")
};

// Where a record of a description put its object: beside the model like
// the diagnostics, for the authors' tool, and never written out. The view
// of a compiled scenario leads from an object to the record that made it.
enum class genere_provenienza : uint8_t {
  pendenza,       // the gradient in force from `cella` on
  curva,          // a curve starting at metre `metro` of the plan
  montagna,       // a mountain span from `cella` on
  cartello_vmax,  // a maximum-speed sign on `cella`
  cartello,       // a text sign on `cella`, its text in item `voce`
  velocita,       // the speed limit in force from `cella` on
  aderenza,       // the adhesion in force from `cella` on
  stazione,       // the station of item `voce`
  segnale,        // a signal on `cella`
  rallentamento,  // a slowdown starting on `cella`
  abbattimento,   // a slowdown's end mark on `cella`
};

struct provenienza {
  genere_provenienza genere = genere_provenienza::pendenza;
  uint8_t file = 0;    // as in `guasto`
  int32_t riga = 0;    // line of the record
  int32_t metro = 0;   // the position as written
  int32_t cella = -1;  // -1 when the object stands on no cell of its own
  int32_t voce = -1;   // -1 when it has no item
};

struct modello {
  std::array<voce, kNumeroVoci> voci;
  std::vector<cella> celle;  // cells 0 to ultima_cella, empty until a length is read
  // The plan table, x and y of every metre 0 to lunghezza_tracciato, kept as
  // the steps that compute it; no table unless calcola_tracciato is non-zero
  // and a length has been read.
  piano_tracciato piano;
  std::array<int32_t, kMaxMontagne + 1> montagne_inizio{};
  std::array<int32_t, kMaxMontagne + 1> montagne_fine{};
  int32_t conta_montagne = 0;
  int32_t calcola_tracciato = 0;
  std::string nome_linea;    // program text (UTF-8); names the files
  std::string numero_treno;  // program text (UTF-8)
  std::string riga;
  int32_t lunghezza_tracciato = 0;
  int32_t ultima_cella = 0;
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;

  // Diagnostics beside the model: every fault and warning recorded, and the
  // description file and line of the record being read (0 outside the
  // readers).
  std::vector<guasto> guasti;
  std::vector<avviso> avvisi;
  // How many of each fault code and warning kind were recorded; beyond
  // kDiagnosiPerGenere of one code or kind only the count grows.
  std::map<int32_t, int64_t> guasti_contati;
  std::map<int32_t, int64_t> avvisi_contati;
  int64_t guasti_registrati = 0;
  // One entry per record that placed an object, in the order read; a record
  // of the same kind on the same cell as the one just before replaces it, so
  // that repeated records do not grow the table.
  std::vector<provenienza> provenienze;
  int sorgente_file = 0;
  int sorgente_riga = 0;

  // For the diagnostics only, never written. Which record wrote each cell's
  // type (as long as `celle`, once made).
  std::vector<origine_cella> origini;
  // A reading for diagnosis only: a record that would stop the reading is
  // skipped and the reading goes on; each record read is listed.
  bool solo_diagnosi = false;
  std::vector<record_letto> letti;
  // Lines whose fields are separated by tabs alone (file, line): the one
  // warning about them stands for the slips they make the readers see.
  std::set<std::pair<int, int>> righe_tabulate;
  // The readers' end processing ran: the gradients filled to the end of the
  // track (line), the speed and adhesion profiles (train).
  bool pendenze_completate = false;
  bool profili_completati = false;
  // Filled by the authors' tool after a compile whose reading stopped.
  std::vector<arresto_lettura> arresti;
};

// All numeric fields 0 and every name empty.
void pulisci_voci(modello& m);

}  // namespace scenario

#endif  // COMPILER_MODELLO_H_
