// The drafts: the text of every document the editor has open, as the editor
// holds it (UTF-8), kept up to date by its changes. An open draft counts over
// the file of the same path on disk.
#ifndef LSP_BOZZE_H_
#define LSP_BOZZE_H_

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lsp/protocollo.h"

namespace scenario::lsp {

struct bozza {
  std::string uri;
  std::string percorso;  // "" when the URI names no file
  // UTF-8. Shared and never changed in place: a change makes a new text,
  // so a copy of the drafts for a compile costs no copy of the texts.
  std::shared_ptr<const std::string> contenuto = std::make_shared<const std::string>();
  int64_t versione = 0;

  const std::string& testo() const { return *contenuto; }
};

// One change as the client sends it: a range and its new text, or the whole
// text when there is no range.
struct modifica {
  std::optional<intervallo> dove;
  std::string testo;
};

class bozze {
 public:
  void apri(const std::string& uri, std::string testo, int64_t versione);
  // Applies the changes in order; false when the document is not open.
  bool cambia(const std::string& uri, const std::vector<modifica>& m, int64_t versione, unita_colonne u);
  void chiudi(const std::string& uri);

  const bozza* trova(const std::string& uri) const;
  // The open draft of a file, by its path.
  const bozza* per_percorso(const std::string& percorso) const;
  const std::map<std::string, bozza>& tutte() const { return bozze_; }

 private:
  std::map<std::string, bozza> bozze_;  // by URI
};

// The byte of a position in a text; a position past a line's end or past
// the last line gives the end of that line or of the text.
std::size_t byte_della_posizione(std::string_view testo, posizione p, unita_colonne u);

}  // namespace scenario::lsp

#endif  // LSP_BOZZE_H_
