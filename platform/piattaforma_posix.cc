// The platform on POSIX systems: a console stands in for the window and the
// message box, and the ANSI code page is Windows-1252.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <string>

#include "platform/cp1252.h"
#include "platform/piattaforma.h"

namespace scenario {
namespace {

[[noreturn]] void fallisci(const std::string& nome) {
  const int n = errno;
  throw errore_sistema(nome, n, std::strerror(n));
}

class descrittore {
 public:
  explicit descrittore(int fd) : fd_(fd) {}
  ~descrittore() {
    if (fd_ >= 0) ::close(fd_);
  }
  descrittore(const descrittore&) = delete;
  descrittore& operator=(const descrittore&) = delete;
  int get() const { return fd_; }
  // Closes now, so that a failure of the close is seen.
  int chiudi() {
    const int r = ::close(fd_);
    fd_ = -1;
    return r;
  }

 private:
  int fd_;
};

// Writes all the bytes at the file's position, however many calls the
// system needs.
void scrivi_tutto(const descrittore& fd, const std::string& nome, std::string_view byte) {
  std::size_t fatto = 0;
  while (fatto < byte.size()) {
    const ssize_t n = ::write(fd.get(), byte.data() + fatto, byte.size() - fatto);
    if (n < 0) {
      if (errno == EINTR) continue;
      fallisci(nome);
    }
    // A write that makes no progress would be retried for ever.
    if (n == 0) {
      errno = ENOSPC;
      fallisci(nome);
    }
    fatto += static_cast<std::size_t>(n);
  }
}

// One folder whose parent exists; an existing folder is fine.
void crea_una_cartella(const std::string& nome) {
  if (::mkdir(nome.c_str(), 0777) == 0) return;
  const int numero = errno;
  struct stat st;
  if (::stat(nome.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return;
    errno = ENOTDIR;
  } else {
    errno = numero;
  }
  fallisci(nome);
}

std::string cartella_eseguibile() {
  std::string percorso(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", percorso.data(), percorso.size());
  if (n <= 0) fallisci("/proc/self/exe");
  percorso.resize(static_cast<std::size_t>(n));
  const auto barra = percorso.rfind('/');
  return barra == 0 ? std::string() : percorso.substr(0, barra);
}

// Numbers the temporary files of the process, whichever platform object
// writes them.
std::atomic<unsigned long> temporanei{0};

class piattaforma_posix : public piattaforma {
 private:
  // A new file beside `nome` that `scrivi` fills; on any failure it is
  // removed again.
  template <typename F>
  std::string nuovo_file(const std::string& nome, F scrivi) {
    // Only a file can take the place of the name; a folder there would
    // refuse the rename, after this write and maybe after others of a set.
    struct stat st;
    if (::lstat(nome.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      errno = EISDIR;
      fallisci(nome);
    }
    std::string temporaneo;
    int f = -1;
    // A name taken (by anything, a link included) is never opened: the next
    // one is tried.
    for (int tentativo = 0; f < 0; ++tentativo) {
      temporaneo = nome_temporaneo(nome, "/", static_cast<unsigned long>(::getpid()), ++temporanei);
      f = ::open(temporaneo.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (f < 0 && (errno != EEXIST || tentativo == 100)) fallisci(nome);
    }
    descrittore fd(f);
    try {
      scrivi(fd);
      if (fd.chiudi() != 0) fallisci(nome);
    } catch (...) {
      if (fd.get() >= 0) fd.chiudi();
      ::unlink(temporaneo.c_str());
      throw;
    }
    return temporaneo;
  }

 public:
  explicit piattaforma_posix(std::string cartella) : cartella_(std::move(cartella)) {}

  std::string cartella_programma() override {
    return cartella_.empty() ? cartella_eseguibile() : cartella_;
  }
  std::string separatore() override { return "/"; }

  bool esiste(const std::string& nome) override {
    struct stat st;
    return ::stat(nome.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
  }

  void elimina(const std::string& nome) override {
    if (::unlink(nome.c_str()) != 0) fallisci(nome);
  }

  std::string scrivi_temporaneo(const std::string& nome,
                                const std::function<std::string_view()>& prossimo) override {
    return nuovo_file(nome, [&](const descrittore& fd) {
      for (std::string_view pezzo = prossimo(); !pezzo.empty(); pezzo = prossimo()) scrivi_tutto(fd, nome, pezzo);
    });
  }

  std::string scrivi_temporaneo_posizionato(const std::string& nome,
                                            const std::function<pezzo_posizionato()>& prossimo) override {
    return nuovo_file(nome, [&](const descrittore& fd) {
      for (pezzo_posizionato p = prossimo(); !p.byte.empty(); p = prossimo()) {
        if (::lseek(fd.get(), static_cast<off_t>(p.posizione), SEEK_SET) < 0) fallisci(nome);
        scrivi_tutto(fd, nome, p.byte);
      }
    });
  }

  void sostituisci(const std::string& temporaneo, const std::string& nome) override {
    if (::rename(temporaneo.c_str(), nome.c_str()) != 0) fallisci(nome);
  }

  using piattaforma::leggi;
  std::string leggi(const std::string& nome, std::size_t massimo) override {
    descrittore fd(::open(nome.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) fallisci(nome);
    auto troppo_grande = [&] { throw errore_sistema(nome, EFBIG, descrizione_troppo_grande(massimo)); };
    // A regular file tells its size; anything else (a device, a pipe) is
    // read only up to the limit.
    struct stat st;
    std::size_t atteso = 0;
    if (::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode)) {
      if (static_cast<unsigned long long>(st.st_size) > massimo) troppo_grande();
      atteso = static_cast<std::size_t>(st.st_size);
    }
    // Read straight into the string, sized for what the file says it holds
    // and one byte more, so that a file that has grown since is noticed; it
    // grows by doubling past that. Reading up to one byte past the limit
    // tells a file over it.
    const std::size_t tetto = massimo < kSenzaLimite ? massimo + 1 : massimo;
    std::string contenuto(std::min(atteso + 1, tetto), '\0');
    std::size_t letti = 0;
    for (;;) {
      if (letti == contenuto.size()) {
        if (letti == tetto) troppo_grande();
        contenuto.resize(std::min(std::max<std::size_t>(2 * letti, 65536), tetto));
      }
      const ssize_t n = ::read(fd.get(), contenuto.data() + letti, contenuto.size() - letti);
      if (n < 0) {
        if (errno == EINTR) continue;
        fallisci(nome);
      }
      if (n == 0) break;
      letti += static_cast<std::size_t>(n);
    }
    if (letti > massimo) troppo_grande();
    contenuto.resize(letti);
    return contenuto;
  }

  void crea_cartella(const std::string& nome) override {
    // Each part up to a separator, then the whole name.
    for (std::size_t fine = nome.find_first_not_of('/');;) {
      fine = nome.find('/', fine);
      crea_una_cartella(nome.substr(0, fine));
      if (fine == std::string::npos) break;
      fine = nome.find_first_not_of('/', fine);
      if (fine == std::string::npos) break;
    }
  }

  void mostra_attesa() override { std::cout << "Attendere" << std::endl; }

  void mostra_messaggio(const std::string& testo) override {
    std::cerr << cp1252_in_utf8(testo) << std::endl;
    if (::isatty(STDIN_FILENO)) {
      std::cerr << "[OK: premere Invio]" << std::flush;
      std::string riga;
      std::getline(std::cin, riga);
    }
  }

  void mostra_informazione(const std::string& testo) override { std::cout << testo << std::flush; }

  void rapporto_errore(const errore_sistema& e) override {
    std::cerr << "Errore di esecuzione " << e.numero() << ": " << e.descrizione() << "\n"
              << "File: " << e.file() << std::endl;
  }

  [[noreturn]] void termina(int stato) override { std::exit(stato); }

  std::string in_ansi(std::string_view testo) override { return utf8_in_cp1252(testo); }
  std::string minuscole(std::string_view ansi) override { return cp1252_minuscole(ansi); }

 private:
  std::string cartella_;
};

}  // namespace

std::unique_ptr<piattaforma> piattaforma_di_sistema(const std::string& cartella) {
  return std::make_unique<piattaforma_posix>(cartella);
}

}  // namespace scenario
