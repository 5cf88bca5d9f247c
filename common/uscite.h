// Files that are replaced together: each is written under a temporary name
// in its folder and, only once all are written, each is renamed over its
// final name. Until then the folder shows the earlier files; a failure
// before that point leaves them all as they were.
#ifndef COMMON_USCITE_H_
#define COMMON_USCITE_H_

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/piattaforma.h"

namespace scenario {

class insieme_uscite {
 public:
  explicit insieme_uscite(piattaforma& p) : p_(p) {}
  // Removes the temporary files that were not put in place.
  ~insieme_uscite();
  insieme_uscite(const insieme_uscite&) = delete;
  insieme_uscite& operator=(const insieme_uscite&) = delete;

  // Writes the file's new content to its temporary file; a failure
  // (errore_sistema naming `nome`) removes every temporary of the set.
  void aggiungi(const std::string& nome, std::string_view byte);
  void aggiungi_a_pezzi(const std::string& nome, const std::function<std::string_view()>& prossimo);
  // Pieces that say where they go (piattaforma::scrivi_temporaneo_posizionato).
  void aggiungi_posizionato(const std::string& nome, const std::function<pezzo_posizionato()>& prossimo);

  // Renames every temporary over its final name, in the order added. A
  // rename that fails (after the platform has checked the names) removes the
  // temporaries not yet in place and leaves the failure to the caller.
  void conferma();

 private:
  void scarta();

  piattaforma& p_;
  std::vector<std::pair<std::string, std::string>> pronti_;  // temporary, final name
};

}  // namespace scenario

#endif  // COMMON_USCITE_H_
