// The decompiler: the three binary files of a compiled scenario turned back
// into a line and a train description, in the layout of the built-in ones,
// and the proof that they compile again to the same files byte for byte.
//
// It depends on two things only: the decoder's tables (reader/decodifica.h)
// and a compile of two descriptions into the bytes of the three files, the
// seam `ricompilatore` below; `ricompilatore_in_memoria` is the one place
// that reaches the compiler.
#ifndef DECOMPILER_DECOMPILA_H_
#define DECOMPILER_DECOMPILA_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "compiler/modello.h"
#include "reader/decodifica.h"
#include "reader/piano_a_pezzi.h"
#include "compiler/diagnostica.h"

namespace scenario {

// The compiled scenario as its files hold it. The line geometry, tens of
// megabytes on a long line, stays in its file and is read in pieces.
struct scenario_binario {
  std::array<voce, kNumeroVoci> voci{};
  std::vector<cella> celle;
  std::shared_ptr<const piano_in_file> piano;  // none without the line geometry file
};

// The bytes of the three files; `geometria` empty when there is none. The
// geometry may instead come in pieces, from `geometria_a_pezzi`, which then
// stands for it.
struct file_scenario_binari {
  std::string voci;
  std::string celle;
  std::string geometria;
  bool con_geometria = false;
  std::shared_ptr<const byte_a_pezzi> geometria_a_pezzi;
};

// A file that cannot be a compiled scenario: which one, the offset and why,
// as the decoder reports it.
class errore_scenario : public errore_decodifica {
 public:
  errore_scenario(tipo_file file, std::size_t offset, std::string motivo)
      : errore_decodifica(offset, std::move(motivo)), file_(file) {}
  tipo_file file() const { return file_; }

 private:
  tipo_file file_;
};

// Decodes the files and checks that they fit one another and what the
// compiler writes: the decoder's own errors, a cell type the compiler never
// writes, a line length (item entry 84) outside 0 to 1000000 m, a track or a
// geometry whose size is not the one that length gives. errore_scenario; a
// geometry in pieces that cannot be read, errore_sistema.
scenario_binario leggi_scenario(const file_scenario_binari& f);

// One field that differs between the files given and those recompiled.
struct differenza {
  tipo_file file = tipo_file::celle;
  enum class genere { dimensione, voce, cella, geometria } g = genere::cella;
  int64_t indice = 0;  // entry, cell, or first metre of a geometry run
  int64_t fino = 0;    // last metre of a geometry run (= indice otherwise)
  std::string campo;   // as `decodifica` names it; "" for a size
  std::string originale;
  std::string ricompilato;
};

// The seam to the compiler: two descriptions (ANSI bytes) compiled into the
// bytes of the item and track files, and, when `piano` is given, the line
// geometry compared with that one as it is written, never held whole.
struct ricompilato {
  bool scritto = false;        // false: no file came out
  std::string perche;          // why, when none did (UTF-8)
  file_scenario_binari file;   // the items and the track, when written
  std::vector<diagnosi> guasti;  // the faults of the compile, for the author
  // With `piano`: the geometry written is byte for byte that one; else its
  // differences (a size, then runs of x, then of y), or, when it does not
  // decode, the decoder's error in `geometria_illeggibile`.
  bool geometria_identica = false;
  std::vector<differenza> differenze_geometria;
  std::string geometria_illeggibile;
};
using ricompilatore =
    std::function<ricompilato(const std::string& linea, const std::string& treno, const piano_in_file* piano)>;

// The compiler run in memory for the scenario identity held by the item
// file (entries 85 and 86); `nomi` names the descriptions in its faults.
ricompilatore ricompilatore_in_memoria(const std::array<voce, kNumeroVoci>& voci, const nomi_sorgenti& nomi);

// The two descriptions, ANSI bytes with CR LF; `note` tells, in UTF-8, the
// choices this scenario needed beyond the plain ones (an orphan sign text
// put under a station marker, a mountain of no cells, ...).
struct descrizioni {
  std::string linea;
  std::string treno;
  std::vector<std::string> note;
};

// The reconstruction. `prova` may be empty; when given, one compile of a
// first draft tells the abbattimento markers that the track completion
// makes again from those that need a record.
descrizioni decompila(const scenario_binario& s, const ricompilatore& prova);


// Every differing field of the items, then of the track.
std::vector<differenza> confronta_scenari(const scenario_binario& originale, const scenario_binario& nuovo);


// The whole command's work on bytes: decode and check (errore_scenario),
// reconstruct, recompile with `compila` and compare.
struct esito_decompilazione {
  descrizioni testi;
  bool ricompilato = false;    // the recompile gave files
  std::string perche;          // why it did not
  bool identico = false;       // checked and equal, byte for byte
  std::vector<differenza> differenze;
  std::vector<diagnosi> guasti;  // faults of the recompile
};
esito_decompilazione decompila_e_verifica(const file_scenario_binari& f, const ricompilatore& compila);


}  // namespace scenario

#endif  // DECOMPILER_DECOMPILA_H_
