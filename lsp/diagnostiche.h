// The compile of a pair of descriptions as an editor shows it: every fault
// and warning at its line of its file. The texts are the editor's (UTF-8);
// they are converted to Windows-1252 as they would be on disk, and the
// compile runs in memory: nothing is written anywhere.
#ifndef LSP_DIAGNOSTICHE_H_
#define LSP_DIAGNOSTICHE_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::lsp {

enum class gravita { errore = 1, avviso = 2, informazione = 3 };

// Another place that a diagnostic names: the record holding a cell.
struct luogo_collegato {
  int file = 0;  // 0 the line description, 1 the train description
  int riga = 0;  // from 0
  std::string messaggio;
};

struct diagnostica {
  int riga = 0;                // from 0
  std::size_t da = 0, a = 0;   // bytes of the line's UTF-8 text
  gravita g = gravita::errore;
  std::string codice;          // the fault code ("16") or the warning kind ("parola")
  bool codice_numerico = false;
  std::string messaggio;
  std::vector<luogo_collegato> collegati;
};

struct testo_coppia {
  std::string_view testo;  // UTF-8, as the editor holds it
  bool presente = true;  // false: the partner was not found; an empty text stands in
};

struct opzioni_diagnostica {
  bool severo = false;  // warnings shown as errors, as --severo counts them
};

// The diagnostics of the line description [0] and of the train description
// [1] compiled together.
std::array<std::vector<diagnostica>, 2> diagnostica_coppia(const testo_coppia& linea, const testo_coppia& treno,
                                                            const opzioni_diagnostica& o);

}  // namespace scenario::lsp

#endif  // LSP_DIAGNOSTICHE_H_
