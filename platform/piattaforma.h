// The program's whole contact with the system: the program folder, the files
// and folders in it, the waiting window, the message box, the end of the process and the
// ANSI code page. One implementation per system, chosen at build time; the
// rest of the program sees only this interface.
#ifndef PLATFORM_PIATTAFORMA_H_
#define PLATFORM_PIATTAFORMA_H_

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

// A failure of the system that the program does not handle itself: a folder
// that cannot be written, a file that cannot be created, deleted, opened or
// read. It carries the file's name and the system's error number and text.
class errore_sistema : public std::runtime_error {
 public:
  errore_sistema(std::string file, int numero, std::string descrizione);
  const std::string& file() const { return file_; }
  int numero() const { return numero_; }
  const std::string& descrizione() const { return descrizione_; }

 private:
  std::string file_;
  int numero_;
  std::string descrizione_;
};

// The folder is held by another run of either program, which did not let it
// go within the wait.
class errore_cartella_occupata : public errore_sistema {
 public:
  using errore_sistema::errore_sistema;
};

// What tells one file from another on the system, whatever names it has:
// the device (volume) and the file's number on it.
struct identita_file {
  uint64_t dispositivo = 0;
  uint64_t numero = 0;
  bool operator==(const identita_file&) const = default;
};

// The exclusive hold on a folder that piattaforma::blocca gives; destroyed,
// it lets the folder go. A process that ends, however it ends, lets its holds
// go with it.
class blocco_cartella {
 public:
  virtual ~blocco_cartella() = default;
};

// Bytes of a file and where in it they go.
struct pezzo_posizionato {
  std::string_view byte;
  uint64_t posizione = 0;
};

class piattaforma {
 public:
  virtual ~piattaforma() = default;

  // Folder of the running program, without a trailing separator.
  virtual std::string cartella_programma() = 0;
  // The separator put between the folder and a file name.
  virtual std::string separatore() = 0;

  // True when a file (not a folder) of that name exists.
  virtual bool esiste(const std::string& nome) = 0;
  virtual void elimina(const std::string& nome) = 0;

  // Writes the pieces that `prossimo` returns, in order until it returns an
  // empty one (each stays valid until the next call), into a new file of the
  // folder of `nome`, as they come. The file gets a name of its own that no
  // entry of the folder had, is created without following any link, and is
  // returned; it is not `nome`, which stays as it was. On any failure (of the
  // system, or an exception from `prossimo`) the new file is removed again
  // and the errore_sistema names `nome`. A folder at `nome` fails here, since
  // no file can replace it.
  virtual std::string scrivi_temporaneo(const std::string& nome,
                                        const std::function<std::string_view()>& prossimo) = 0;
  // The same for pieces that say where they go, in any order, until one
  // with no bytes; the file is as long as the furthest piece reaches, and
  // the caller writes every byte of it once. A file made of parts that are
  // computed together (the columns of the line geometry) is written in one
  // pass. This default gathers the pieces in memory and hands the whole to
  // scrivi_temporaneo, so that a platform that only overrides that sees
  // every file: the system platforms write each piece where it goes, and a
  // wrapper on the way to them that must not hold a file whole forwards
  // this call too.
  virtual std::string scrivi_temporaneo_posizionato(const std::string& nome,
                                                    const std::function<pezzo_posizionato()>& prossimo);
  // Puts the file `temporaneo` (from scrivi_temporaneo, same folder) in the
  // place of `nome` in one step: a file or a link there is replaced, never
  // written through. On failure `temporaneo` is left for the caller.
  virtual void sostituisci(const std::string& temporaneo, const std::string& nome) = 0;

  // The files written by scrivi_temporaneo reach the device before it
  // returns (fsync, FlushFileBuffers). This puts the folder's own changes
  // (names created, renamed, removed) there too, so that a power cut after
  // it keeps them; a system whose renames are written through does nothing.
  virtual void sincronizza_cartella(const std::string& cartella);
  // Keeps the file at `nome` (a link: the link) under the new name `copia`
  // of the same folder, which no entry may have: a second hard link where
  // the system has them, so that `nome` still holds it and a rename over
  // `nome` frees no data; else moved there, and `nome` no longer exists.
  // Fails, naming `nome`, when the file cannot be moved or linked; on a
  // system where a file held open cannot be replaced, that fails here.
  virtual void metti_da_parte(const std::string& nome, const std::string& copia) = 0;
  // Fails (errore_sistema naming `nome`) when a file at `nome` could not be
  // replaced now: a folder there, or a file that another program holds open
  // without letting it be deleted. A missing file is fine.
  virtual void verifica_sostituibile(const std::string& nome) = 0;
  // The names of the entries of the folder, without the folder; a folder
  // that cannot be read has none.
  virtual std::vector<std::string> elenca(const std::string& cartella) = 0;
  // The identity of the file at `nome`, following links when `segui`;
  // nothing when no such file can be seen.
  virtual std::optional<identita_file> identita(const std::string& nome, bool segui) = 0;
  // Holds the folder for this process alone, waiting up to `attesa_ms`
  // milliseconds while another holds it; then errore_cartella_occupata
  // naming the folder.
  virtual std::unique_ptr<blocco_cartella> blocca(const std::string& cartella, int attesa_ms) = 0;
  // Removes an empty folder.
  virtual void elimina_cartella(const std::string& nome) = 0;

  // `nome` replaced whole by these bytes (or pieces): a temporary file, then
  // sostituisci; on failure the earlier file is untouched and no temporary
  // remains.
  void scrivi(const std::string& nome, std::string_view byte);
  void scrivi_a_pezzi(const std::string& nome, const std::function<std::string_view()>& prossimo);

  // The whole content of the file when it holds at most `massimo` bytes. A
  // longer one is refused without being read whole: errore_sistema naming
  // the file and the limit.
  virtual std::string leggi(const std::string& nome, std::size_t massimo) = 0;
  std::string leggi(const std::string& nome) { return leggi(nome, kSenzaLimite); }
  static constexpr std::size_t kSenzaLimite = static_cast<std::size_t>(-1);
  // Makes the folder and those of its parents that are missing; a folder
  // that exists already is fine. A part of the path that exists as anything
  // but a folder fails, naming that part, and removes the folders it had
  // made. Returns the folders it made, the outermost first, so that a
  // caller whose run fails later can remove them.
  virtual std::vector<std::string> crea_cartella(const std::string& nome) = 0;
  // A line for the user that does not stop the run (a console's standard
  // error; nowhere for a program with no console).
  virtual void annota(const std::string& riga) = 0;

  // The waiting window with its label, shown without waiting and painted once.
  virtual void mostra_attesa() = 0;
  // A modal message box with the text, one OK button, no icon and no title of
  // its own; returns once the user has closed it.
  virtual void mostra_messaggio(const std::string& testo) = 0;
  // Text the user asked for, such as the help or the version (UTF-8): on the
  // standard output of a console program, in an information box with the
  // program's name as title for a windowed one. Returns once it is shown.
  virtual void mostra_informazione(const std::string& testo) = 0;
  // The report of an unhandled system failure.
  virtual void rapporto_errore(const errore_sistema& e) = 0;
  // Ends the process with the given exit status; never returns.
  [[noreturn]] virtual void termina(int stato) = 0;

  // Text of the program (UTF-8) in the 8-bit ANSI code page. A character the
  // code page cannot hold is a programming error: std::invalid_argument.
  virtual std::string in_ansi(std::string_view testo) = 0;
  // ANSI text with its letters in lower case.
  virtual std::string minuscole(std::string_view ansi) = 0;
};

// Forwards every call to another platform; tests override single calls.
class piattaforma_inoltro : public piattaforma {
 public:
  explicit piattaforma_inoltro(piattaforma& base) : base_(base) {}
  std::string cartella_programma() override { return base_.cartella_programma(); }
  std::string separatore() override { return base_.separatore(); }
  bool esiste(const std::string& nome) override { return base_.esiste(nome); }
  void elimina(const std::string& nome) override { base_.elimina(nome); }
  std::string scrivi_temporaneo(const std::string& nome, const std::function<std::string_view()>& prossimo) override {
    return base_.scrivi_temporaneo(nome, prossimo);
  }
  void sostituisci(const std::string& temporaneo, const std::string& nome) override {
    base_.sostituisci(temporaneo, nome);
  }
  using piattaforma::leggi;
  std::string leggi(const std::string& nome, std::size_t massimo) override { return base_.leggi(nome, massimo); }
  std::vector<std::string> crea_cartella(const std::string& nome) override { return base_.crea_cartella(nome); }
  void sincronizza_cartella(const std::string& cartella) override { base_.sincronizza_cartella(cartella); }
  void metti_da_parte(const std::string& nome, const std::string& copia) override {
    base_.metti_da_parte(nome, copia);
  }
  void verifica_sostituibile(const std::string& nome) override { base_.verifica_sostituibile(nome); }
  std::vector<std::string> elenca(const std::string& cartella) override { return base_.elenca(cartella); }
  std::optional<identita_file> identita(const std::string& nome, bool segui) override {
    return base_.identita(nome, segui);
  }
  std::unique_ptr<blocco_cartella> blocca(const std::string& cartella, int attesa_ms) override {
    return base_.blocca(cartella, attesa_ms);
  }
  void elimina_cartella(const std::string& nome) override { base_.elimina_cartella(nome); }
  void annota(const std::string& riga) override { base_.annota(riga); }
  void mostra_attesa() override { base_.mostra_attesa(); }
  void mostra_messaggio(const std::string& testo) override { base_.mostra_messaggio(testo); }
  void mostra_informazione(const std::string& testo) override { base_.mostra_informazione(testo); }
  void rapporto_errore(const errore_sistema& e) override { base_.rapporto_errore(e); }
  [[noreturn]] void termina(int stato) override {
    base_.termina(stato);
    std::abort();  // an implementation that returned broke its contract
  }
  // scrivi_temporaneo_posizionato is not forwarded: the default gathers the
  // file and goes through scrivi_temporaneo, which a wrapper may override.
  std::string in_ansi(std::string_view testo) override { return base_.in_ansi(testo); }
  std::string minuscole(std::string_view ansi) override { return base_.minuscole(ansi); }

 protected:
  piattaforma& base() { return base_; }

 private:
  piattaforma& base_;
};

// Forwards every call, but lets the files written go as they are made and
// puts nothing in place: for a compile whose diagnostics or model are
// wanted and whose files are not.
class piattaforma_senza_scritture : public piattaforma_inoltro {
 public:
  using piattaforma_inoltro::piattaforma_inoltro;
  std::string scrivi_temporaneo(const std::string& nome, const std::function<std::string_view()>& prossimo) override {
    while (!prossimo().empty()) {
    }
    return nome;
  }
  std::string scrivi_temporaneo_posizionato(const std::string& nome,
                                            const std::function<pezzo_posizionato()>& prossimo) override {
    while (!prossimo().byte.empty()) {
    }
    return nome;
  }
  void sostituisci(const std::string&, const std::string&) override {}
};

// The description of the refusal of a file longer than `massimo` bytes.
std::string descrizione_troppo_grande(std::size_t massimo);

// The name, within its folder, of a platform's temporary file: the folder
// part of `nome` (up to its last separator, one of `separatori`) followed
// by a name that starts with a dot and holds the process and a counter, so
// that it differs from the program's eight names and is seen as hidden.
std::string nome_temporaneo(const std::string& nome, std::string_view separatori, unsigned long processo,
                            unsigned long contatore);
// True for a name (without folder) that nome_temporaneo gives, or that the
// set of files derives from one: what a killed run can leave behind.
bool e_temporaneo(std::string_view nome);

// The system's platform. With an empty folder it works in the folder of the
// running program; otherwise in the folder given (tests, tools).
std::unique_ptr<piattaforma> piattaforma_di_sistema(const std::string& cartella = "");

}  // namespace scenario

#endif  // PLATFORM_PIATTAFORMA_H_
