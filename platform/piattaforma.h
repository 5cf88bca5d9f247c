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
#include <stdexcept>
#include <string>
#include <string_view>

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
  // but a folder fails, naming that part.
  virtual void crea_cartella(const std::string& nome) = 0;

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
  void crea_cartella(const std::string& nome) override { base_.crea_cartella(nome); }
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

// The system's platform. With an empty folder it works in the folder of the
// running program; otherwise in the folder given (tests, tools).
std::unique_ptr<piattaforma> piattaforma_di_sistema(const std::string& cartella = "");

}  // namespace scenario

#endif  // PLATFORM_PIATTAFORMA_H_
