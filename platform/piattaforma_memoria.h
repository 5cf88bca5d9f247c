// A platform whose files live in memory and whose window and message box only
// record what they were asked to show. The end of the process becomes the
// exception `terminazione`, so that a caller can look at the state it left.
// Used by the tests, the fuzz targets and the authors' tool.
#ifndef PLATFORM_PIATTAFORMA_MEMORIA_H_
#define PLATFORM_PIATTAFORMA_MEMORIA_H_

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/piattaforma.h"

namespace scenario {

struct terminazione {
  int stato;
};

// A platform `base` (piattaforma, or one that forwards to another) whose
// window, message box and error report only record what they were asked to
// show, and whose end of the process throws `terminazione`.
template <class base>
class con_registro : public base {
 public:
  using base::base;
  void mostra_attesa() override { ++attese; }
  void mostra_messaggio(const std::string& testo) override { messaggi.push_back(testo); }
  void mostra_informazione(const std::string& testo) override { informazioni.push_back(testo); }
  void rapporto_errore(const errore_sistema& e) override { rapporti.push_back(e.what()); }
  [[noreturn]] void termina(int stato) override { throw terminazione{stato}; }
  void annota(const std::string& riga) override { annotazioni.push_back(riga); }

  std::vector<std::string> annotazioni;
  std::vector<std::string> messaggi;
  std::vector<std::string> informazioni;
  std::vector<std::string> rapporti;
  int attese = 0;
};

class piattaforma_memoria : public con_registro<piattaforma> {
 public:
  explicit piattaforma_memoria(std::string cartella = "mem") : cartella_(std::move(cartella)) {}

  std::string cartella_programma() override { return cartella_; }
  std::string separatore() override { return "/"; }
  bool esiste(const std::string& nome) override;
  void elimina(const std::string& nome) override;
  std::string scrivi_temporaneo(const std::string& nome, const std::function<std::string_view()>& prossimo) override;
  void sostituisci(const std::string& temporaneo, const std::string& nome) override;
  using piattaforma::leggi;
  std::string leggi(const std::string& nome, std::size_t massimo) override;
  // Folders are not kept: only a file standing where a folder belongs fails.
  std::vector<std::string> crea_cartella(const std::string& nome) override;
  void elimina_cartella(const std::string&) override {}
  // A copy, which leaves `nome` in place as a hard link does; with
  // `sposta_da_parte` a move, as on a system without hard links.
  void metti_da_parte(const std::string& nome, const std::string& copia) override;
  // The names in `aperti` stand for files that another program holds open.
  void verifica_sostituibile(const std::string& nome) override;
  std::vector<std::string> elenca(const std::string& cartella) override;
  // Each name is a file of its own.
  std::optional<identita_file> identita(const std::string& nome, bool segui) override;
  // A folder held already is refused at once.
  std::unique_ptr<blocco_cartella> blocca(const std::string& cartella, int attesa_ms) override;
  std::string in_ansi(std::string_view testo) override;
  std::string minuscole(std::string_view ansi) override;

  // Full name (folder, separator, name) of a file in the folder.
  std::string percorso(const std::string& nome) const { return cartella_ + "/" + nome; }

  std::map<std::string, std::string> file;  // by full name
  std::set<std::string> aperti;             // full names that cannot be replaced
  bool sposta_da_parte = false;

 private:
  std::string cartella_;
  unsigned long temporanei_ = 0;
  std::shared_ptr<std::set<std::string>> bloccate_ = std::make_shared<std::set<std::string>>();
};

}  // namespace scenario

#endif  // PLATFORM_PIATTAFORMA_MEMORIA_H_
