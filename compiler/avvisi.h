// The readers' warnings: what the compiler accepts without a fault but an
// author rarely means. Recording a warning changes nothing in the model
// besides `avvisi`, so no compiled byte and no fault depends on them.
#ifndef COMPILER_AVVISI_H_
#define COMPILER_AVVISI_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/campi.h"
#include "compiler/modello.h"
#include "compiler/parole.h"

namespace scenario {

// Records a warning at the description file and line being read.
void avvisa(modello& m, int32_t tipo, int32_t posizione, std::string testo);

// The type of cell i, or -1 when the table has no such cell.
int tipo_in(const modello& m, int64_t i);

// Warns that `oggetto` (e.g. "il segnale") was written on cell i over an
// object of type `vecchio`.
void avvisa_sostituzione(modello& m, int32_t posizione, const char* oggetto, int vecchio, int64_t i);

// A field as read (ANSI), quoted and in UTF-8, for a warning's text.
std::string campo_citato(std::string_view ansi);

// A section header: a field that begins (after blanks) with "[" and holds "]".
bool intestazione(std::string_view campo);

// Watches the fields in keyword position. A field that is neither a record
// keyword nor a section header is warned about once: the values that follow
// it (numbers in keyword position) are taken as its own and not warned about
// again. Empty fields (blank lines) pass unremarked.
class sorveglianza_parole {
 public:
  sorveglianza_parole() = default;
  // Unknown keywords near one of the file's records are told which.
  explicit sorveglianza_parole(descrizione file) : file_(file), suggerisci_(true) {}
  // `riconosciuta`: the field is a record keyword. `valori_non_letti`: it is
  // one whose values the reader skips (a curve without the plan), so the
  // numbers after it are expected.
  void campo(modello& m, std::string_view campo, bool riconosciuta, bool valori_non_letti = false);
  // The fields up to the end of line `riga` belong to a record that ran
  // onto it: they are not warned about again.
  void sospendi_fino_a(int riga) { riga_sospesa_ = riga; }

 private:
  bool valori_orfani_ = false;
  int riga_sospesa_ = 0;
  descrizione file_ = descrizione::linea;
  bool suggerisci_ = false;
};

// Fields separated by tabs alone, on any line of a description: one warning,
// at the first such line, saying that fields are separated by commas.
void controlla_tabulazioni(modello& m, std::string_view testo);

// An object at `posizione`, or a stretch from it to `fine`, past the line's
// length (inside the track, whose tail runs 7000 m further): a warning.
void controlla_oltre_linea(modello& m, const char* cosa, int32_t posizione, int64_t fine);

// After a record's values are read (the keyword field `campo`, on line
// `riga_parola`): a header read as a record, a keyword that is none of its
// written forms, values that ran onto another line, text after a number.
void controlla_record(modello& m, const lettore_campi& l, const record_descrizione& r, std::string_view campo,
                      int riga_parola, sorveglianza_parole& parole);

// In a reading for diagnosis only, after a record that stopped the reading
// (`d` its record, nullptr when the field was none): its values left on its
// line are read and checked like those of any record, and the line is left.
void finisci_record_fermato(modello& m, lettore_campi& l, const record_descrizione* d, std::string_view campo,
                            int riga_parola, sorveglianza_parole& parole);

// A text value (station name, sign text) that looks like UTF-8 rather than
// Windows-1252.
bool sembra_utf8(std::string_view ansi);
void controlla_codifica(modello& m, int32_t posizione, std::string_view testo);

// Positions of one kind of record, which must grow: a record at or before
// the previous one is warned about.
class sorveglianza_ordine {
 public:
  explicit sorveglianza_ordine(const char* cosa) : cosa_(cosa) {}
  void posizione(modello& m, int32_t p);

 private:
  const char* cosa_;
  std::optional<int32_t> precedente_;
};

}  // namespace scenario

#endif  // COMPILER_AVVISI_H_
