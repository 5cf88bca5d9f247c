// The platform on POSIX systems: a console stands in for the window and the
// message box, and the ANSI code page is Windows-1252.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

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

// One folder whose parent exists; an existing folder is fine. True when
// this call made it.
bool crea_una_cartella(const std::string& nome) {
  if (::mkdir(nome.c_str(), 0777) == 0) return true;
  const int numero = errno;
  struct stat st;
  if (::stat(nome.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return false;
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
      // On the device before it can be renamed into place: a power cut after
      // the rename finds the file whole.
      if (::fsync(fd.get()) != 0) fallisci(nome);
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

  void sincronizza_cartella(const std::string& cartella) override {
    descrittore fd(::open(cartella.empty() ? "." : cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) fallisci(cartella);
    // Some file systems cannot flush a folder; their renames are as safe as
    // they make them.
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS) fallisci(cartella);
  }

  void metti_da_parte(const std::string& nome, const std::string& copia) override {
    verifica_sostituibile(nome);
    // link() takes a symbolic link itself, not what it points to. It fails
    // where a rename over the name would (an immutable or append-only file,
    // a mount point), before any of the set is in place.
    if (::link(nome.c_str(), copia.c_str()) != 0) fallisci(nome);
  }

  void verifica_sostituibile(const std::string& nome) override {
    struct stat st;
    if (::lstat(nome.c_str(), &st) != 0) {
      if (errno == ENOENT) return;
      fallisci(nome);
    }
    if (S_ISDIR(st.st_mode)) {
      errno = EISDIR;
      fallisci(nome);
    }
  }

  std::vector<std::string> elenca(const std::string& cartella) override {
    std::vector<std::string> nomi;
    DIR* d = ::opendir(cartella.empty() ? "." : cartella.c_str());
    if (d == nullptr) return nomi;
    while (const dirent* e = ::readdir(d)) {
      const std::string n = e->d_name;
      if (n != "." && n != "..") nomi.push_back(n);
    }
    ::closedir(d);
    return nomi;
  }

  std::optional<identita_file> identita(const std::string& nome, bool segui) override {
    struct stat st;
    if ((segui ? ::stat(nome.c_str(), &st) : ::lstat(nome.c_str(), &st)) != 0) return std::nullopt;
    return identita_file{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  }

  std::unique_ptr<blocco_cartella> blocca(const std::string& cartella, int attesa_ms) override {
    // The folder itself is locked: nothing is left in it, and the system
    // lets the lock go with the process however it ends.
    auto fd = std::make_unique<descrittore>(
        ::open(cartella.empty() ? "." : cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd->get() < 0) fallisci(cartella);
    for (int atteso = 0;; atteso += 50) {
      if (::flock(fd->get(), LOCK_EX | LOCK_NB) == 0) break;
      if (errno != EWOULDBLOCK && errno != EINTR) fallisci(cartella);
      if (atteso >= attesa_ms) {
        throw errore_cartella_occupata(cartella, EWOULDBLOCK, std::strerror(EWOULDBLOCK));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    struct blocco : blocco_cartella {
      explicit blocco(std::unique_ptr<descrittore> d) : fd(std::move(d)) {}
      std::unique_ptr<descrittore> fd;
    };
    return std::make_unique<blocco>(std::move(fd));
  }

  void elimina_cartella(const std::string& nome) override {
    if (::rmdir(nome.c_str()) != 0) fallisci(nome);
  }

  void annota(const std::string& riga) override { std::cerr << riga << std::endl; }

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

  std::vector<std::string> crea_cartella(const std::string& nome) override {
    std::vector<std::string> fatte;
    try {
      // Each part up to a separator, then the whole name.
      for (std::size_t fine = nome.find_first_not_of('/');;) {
        fine = nome.find('/', fine);
        const std::string parte = nome.substr(0, fine);
        if (crea_una_cartella(parte)) fatte.push_back(parte);
        if (fine == std::string::npos) break;
        fine = nome.find_first_not_of('/', fine);
        if (fine == std::string::npos) break;
      }
    } catch (const errore_sistema&) {
      // A name that fails part way leaves no folder behind.
      for (auto it = fatte.rbegin(); it != fatte.rend(); ++it) ::rmdir(it->c_str());
      throw;
    }
    return fatte;
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
