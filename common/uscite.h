// Files that are replaced together, in one folder, so that the folder shows
// either the earlier set or the new one whole, whatever stops the run:
//   1. every file is written under a temporary name and flushed;
//   2. a journal naming the set (temporary, final name, old copy) is written
//      beside them, flushed and renamed into place;
//   3. every earlier file is kept aside under an old copy (a hard link where
//      the system has them), so that no rename into place frees data and
//      every name is known replaceable before the first one changes;
//   4. the temporaries are renamed over their final names;
//   5. the old copies and the journal are removed.
// A failure before 4 ends leaves the earlier set as it was: the old copies
// go back. A run killed after 2 leaves the journal, and the next run in the
// folder completes the set (ripristina_cartella); one killed before it
// leaves only temporaries, which that run removes.
#ifndef COMMON_USCITE_H_
#define COMMON_USCITE_H_

#include <functional>
#include <string>
#include <string_view>
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
  // Every name of a set is in one folder.
  void aggiungi(const std::string& nome, std::string_view byte);
  void aggiungi_a_pezzi(const std::string& nome, const std::function<std::string_view()>& prossimo);
  // Pieces that say where they go (piattaforma::scrivi_temporaneo_posizionato).
  void aggiungi_posizionato(const std::string& nome, const std::function<pezzo_posizionato()>& prossimo);

  // Puts the set in place (steps 2 to 5). A failure leaves the earlier
  // files under every name, removes the temporaries and throws an
  // errore_sistema naming the file that could not be replaced, with the
  // likely cause.
  void conferma();

 private:
  struct voce {
    std::string temporaneo, nome, vecchio;  // vecchio: empty when no earlier file
    bool da_parte = false, in_posto = false;
  };
  void scarta();
  void annulla(const std::string& giornale);

  piattaforma& p_;
  std::vector<voce> voci_;
};

// The journal of the folder's set while it is being put in place.
std::string nome_giornale(piattaforma& p, const std::string& cartella);
// The folder part of a full name (empty when it has none).
std::string cartella_di(piattaforma& p, const std::string& nome);

// Completes the set that a killed run left in the folder (its journal is
// whole: every new file was written), or undoes it (the journal cannot be
// read), then removes the temporaries and old copies of killed runs. Run it
// while holding the folder, before anything else in it. Returns one line
// saying what it did, "" when there was nothing to do; errore_sistema when a
// file cannot be moved or removed (the journal stays for the next run).
std::string ripristina_cartella(piattaforma& p, const std::string& cartella);

// For the readers: a line saying that the set beside `nome` is incomplete
// (a run was stopped while putting it in place), "" when it is not.
std::string avviso_insieme_incompleto(piattaforma& p, const std::string& nome);
// The same for each folder of the files, once each.
std::vector<std::string> avvisi_insiemi_incompleti(piattaforma& p, const std::vector<std::string>& file);

// How long a run waits for another to let the folder go.
inline constexpr int kAttesaCartellaMs = 10000;

// Holds the folder for this run and completes what a killed run left in it:
// the one line of ripristina_cartella goes to piattaforma::annota.
std::unique_ptr<blocco_cartella> prendi_cartella(piattaforma& p, const std::string& cartella,
                                                 int attesa_ms = kAttesaCartellaMs);

// The text of a refusal for a folder held by another run.
std::string descrizione_cartella_occupata();

}  // namespace scenario

#endif  // COMMON_USCITE_H_
