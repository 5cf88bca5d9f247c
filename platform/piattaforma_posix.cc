// The platform on POSIX systems: a console stands in for the window and the
// message box, and the ANSI code page is Windows-1252.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

class piattaforma_posix : public piattaforma {
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

  void tocca(const std::string& nome) override {
    descrittore fd(::open(nome.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (fd.get() < 0) fallisci(nome);
    if (fd.chiudi() != 0) fallisci(nome);
  }

  void elimina(const std::string& nome) override {
    if (::unlink(nome.c_str()) != 0) fallisci(nome);
  }

  void scrivi(const std::string& nome, std::string_view byte) override {
    bool dato = false;
    scrivi_a_pezzi(nome, [&]() -> std::string_view {
      if (dato) return {};
      dato = true;
      return byte;
    });
  }

  void scrivi_a_pezzi(const std::string& nome, const std::function<std::string_view()>& prossimo) override {
    descrittore fd(::open(nome.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0) fallisci(nome);
    for (std::string_view pezzo = prossimo(); !pezzo.empty(); pezzo = prossimo()) scrivi_tutto(fd, nome, pezzo);
    if (fd.chiudi() != 0) fallisci(nome);
  }

  std::string leggi(const std::string& nome) override {
    descrittore fd(::open(nome.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) fallisci(nome);
    std::string contenuto;
    char blocco[65536];
    for (;;) {
      const ssize_t n = ::read(fd.get(), blocco, sizeof blocco);
      if (n < 0) {
        if (errno == EINTR) continue;
        fallisci(nome);
      }
      if (n == 0) break;
      contenuto.append(blocco, static_cast<std::size_t>(n));
    }
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
