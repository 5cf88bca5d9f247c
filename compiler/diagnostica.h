// What the faults and warnings of a compile mean, and how they are shown to
// an author: one line each in the usual "file:line: errore: ..." form, or as
// JSON for editors and scripts.
#ifndef COMPILER_DIAGNOSTICA_H_
#define COMPILER_DIAGNOSTICA_H_

#include <cstdint>
#include <string>
#include <vector>

#include "compiler/modello.h"

namespace scenario {

// The meaning of a fault code in words; "" for a code that no part of the
// compiler records.
const char* significato_guasto(int32_t codice);
// True when the fault carries the position of its record (or cell); for the
// others `posizione_errore` is left over from an earlier fault.
bool guasto_con_posizione(int32_t codice);
// The codes that have a meaning, in increasing order.
std::vector<int32_t> codici_noti();

// The meaning of an error report (" Errore n. " + `a`): 1250, 1251, or the
// code of a line description that gave no track.
std::string significato_rapporto(const std::string& a);

// The short name of a warning kind ("sostituzione", ...); "" when unknown.
const char* nome_avviso(int32_t tipo);
// What a warning kind is about, in words.
const char* significato_avviso(int32_t tipo);
// The warning kinds, in increasing order.
std::vector<int32_t> avvisi_noti();
// A kind that the authors' tool counts as an error (a description with no
// record, a line without length): shown as one, and the compile fails.
bool avviso_grave(int32_t tipo);

// The names the author knows the two descriptions by.
struct nomi_sorgenti {
  std::string linea;
  std::string treno;
};

// Another place that a diagnosis speaks of, as an editor shows it beside
// the diagnosis.
struct luogo_correlato {
  std::string file;  // the author's name of the file
  int riga = 0;
  std::string testo;  // what stands there, UTF-8
};

// One fault or warning, ready to be shown.
struct diagnosi {
  bool errore = true;          // a fault, or a warning of a grave kind; false for a warning
  bool avviso = false;         // `codice` is a warning kind, not a fault code
  int32_t codice = 0;          // fault code or warning kind
  bool con_posizione = false;  // a warning's text already says where
  int32_t posizione = 0;       // metres
  std::string file;            // the author's name of the file; "" for none
  int riga = 0;                // 0 when unknown
  std::string testo;           // meaning and particulars, UTF-8
  // False for what the reading for diagnosis found past the record where the
  // compile stopped: its record was not compiled.
  bool compilato = true;
  std::vector<luogo_correlato> correlati;
};

// One line for each description whose reading stopped: from which line on
// the records were not compiled, how many, and what the files lack.
std::vector<std::string> righe_arresti(const modello& m, const nomi_sorgenti& nomi);
// The same as a JSON array.
std::string json_arresti(const modello& m, const nomi_sorgenti& nomi);

// Every fault and warning of the model, in the order recorded.
std::vector<diagnosi> diagnosi_del_modello(const modello& m, const nomi_sorgenti& nomi);

// "TRENO.txt:17: errore: codice 16 a 6000 m: ..."; a diagnosis without a
// file is shown under the program's name.
std::string riga_diagnosi(const diagnosi& d);

// The faults and warnings recorded but not kept (beyond the first
// kDiagnosiPerGenere of a code or kind): one line for each code or kind,
// "scenario: altri N avvisi [parola] non mostrati".
std::vector<std::string> righe_omesse(const modello& m);
// All faults and all warnings recorded, kept or not.
int64_t errori_totali(const modello& m);
int64_t avvisi_totali(const modello& m);
// {"errori": {"13": 250}, "avvisi": {"parola": 999900}}: how many of each
// were not kept.
std::string json_omessi(const modello& m);

// The JSON object of one diagnosis.
std::string json_diagnosi(const diagnosi& d);

}  // namespace scenario

#endif  // COMPILER_DIAGNOSTICA_H_
