// The compile command: the program's own compiler driver run on an author's
// two descriptions. The author's files are only read: the compiler works on
// copies served from memory under the names it asks for, so that the
// deletions of the readers touch nothing on disk, and only the three binary
// files reach the output folder.
#ifndef COMPILER_COMPILA_TESTI_H_
#define COMPILER_COMPILA_TESTI_H_

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/identita.h"
#include "compiler/modello.h"
#include "platform/piattaforma.h"

namespace scenario {

// Exit statuses of the tool.
enum : int {
  kStatoPulito = 0,      // compiled with no fault
  kStatoGuasti = 1,      // compiled, and faults were recorded
  kStatoRapporto = 2,    // the run ended through the error report: no file written
  kStatoArgomenti = 3,   // unusable arguments, files that cannot be read or written
};

// Forwards to the platform of the output folder, except the two description
// names of the identity, which live in memory: asking for them, reading or
// deleting them never reaches the disk.
class piattaforma_autore : public piattaforma_inoltro {
 public:
  piattaforma_autore(piattaforma& uscita, const std::string& nome_linea, const std::string& numero_treno,
                     std::string linea, std::string treno);

  bool esiste(const std::string& nome) override;
  void elimina(const std::string& nome) override;
  void sostituisci(const std::string& temporaneo, const std::string& nome) override;
  // The binary files go to the folder as they are made, never held whole.
  std::string scrivi_temporaneo_posizionato(const std::string& nome,
                                            const std::function<pezzo_posizionato()>& prossimo) override {
    return base().scrivi_temporaneo_posizionato(nome, prossimo);
  }
  using piattaforma::leggi;
  std::string leggi(const std::string& nome, std::size_t massimo) override;
  void mostra_attesa() override {}
  std::vector<std::string> scritti;  // names put in place, in order, once each

  // The two descriptions exist again, as they were, and deleting them is
  // then harmless: for a reading for diagnosis only.
  void per_diagnosi() {
    eliminati_.clear();
    diagnosi_ = true;
  }

 private:
  bool in_memoria(const std::string& nome) const { return nomi_.count(nome) != 0; }

  std::set<std::string> nomi_;                // the two description names
  std::map<std::string, std::string> copie_;  // those of them that were given
  std::set<std::string> eliminati_;           // those of them deleted since
  bool diagnosi_ = false;
};


// Why an identity cannot be used ("" when it can): a text that the ANSI code
// page cannot hold, or that cannot stand in a file name.
std::string identita_inservibile(piattaforma& p, const identita& id);

struct esito_compilazione {
  int stato = kStatoPulito;
  modello m;                           // as far as the compile got
  std::string rapporto;                // " Errore n. ..." when the run ended through it
  std::string codice_rapporto;         // the code text of that report
  std::vector<std::string> scritti;    // full names of the files written
  std::string errore;                  // for kStatoArgomenti: what could not be done
  std::string ripristino;              // what was done first for a run killed in the folder
};

// Why one of the `ingressi` must not be replaced by the outputs: an output
// name that is the same file, by its spelling or by the system's identity
// of the file (device and number, file ID), a link at the input followed.
// "" when none is; else the refusal, which calls the input `cosa`.
std::string ingresso_tra_le_uscite(piattaforma& p, const std::vector<std::string>& ingressi,
                                   const std::vector<std::string>& uscite, const std::string& cosa);

// Why the two descriptions look given in the wrong order ("" when they do
// not): the one given as the line holds more train records than line
// records, and the other the reverse.
std::string descrizioni_scambiate(std::string_view linea, std::string_view treno);

// Compiles the two descriptions (their bytes, ANSI) into the folder of
// `uscita`, as the program does; `geometria` false leaves the line geometry
// out. System failures while writing end as kStatoArgomenti.
esito_compilazione compila_testi(piattaforma& uscita, const identita& id, std::string linea, std::string treno,
                                 bool geometria);

struct richiesta_compilazione {
  std::string linea;         // path of the line description
  std::string treno;         // path of the train description
  std::string cartella = ".";
  identita id = identita_incorporata();
  bool geometria = true;
  bool utf8 = false;  // the descriptions are in UTF-8, to be converted
  int attesa_ms = 10000;  // how long another run holding the folder is waited for
};

// Reads the author's files, checks the identity and the folder, and
// compiles into the folder through the system's platform.
esito_compilazione compila_file(const richiesta_compilazione& r);

// A description written in UTF-8, in Windows-1252; a byte-order mark is
// dropped. On a character that Windows-1252 cannot hold, or bytes that are
// not UTF-8, nothing and the line (from 1) in `riga_errata`.
// `perche`, when given, says which of the two.
std::optional<std::string> da_utf8(const std::string& testo, int& riga_errata, std::string* perche = nullptr);

// A description in UTF-16 (with its byte-order mark) in UTF-8. Nothing for
// any other text; then `perche` says why when the text looks like UTF-16
// without its mark, or is UTF-16 that cannot be decoded (with the line in
// `riga_errata`), and is empty otherwise.
std::optional<std::string> da_utf16(const std::string& testo, int& riga_errata, std::string& perche);

}  // namespace scenario

#endif  // COMPILER_COMPILA_TESTI_H_
