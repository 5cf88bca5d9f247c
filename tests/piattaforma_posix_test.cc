// The POSIX platform's own writes failing part way, for real: a device that
// is full from the first byte, and a file size limit that the process meets
// in the middle of a file.
#if !defined(_WIN32)

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/piattaforma.h"
#include "common/identita.h"
#include "run/generazione.h"
#include "common/nomi.h"
#include "tests/prova.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

TEST(PiattaformaPosixGuasti, UnDispositivoPienoDietroUnCollegamentoNellaCartella) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "nessun /dev/full su questo sistema";
  prova::cartella_temporanea c;
  fs::create_symlink("/dev/full", c.percorso() / "pieno.dat");
  auto p = piattaforma_di_sistema(c.percorso().string());
  const std::string nome = c.file("pieno.dat");
  try {
    p->scrivi(nome, std::string(100000, 'x'));
    ADD_FAILURE() << "la scrittura su un dispositivo pieno e' riuscita";
  } catch (const errore_sistema& e) {
    EXPECT_EQ(e.file(), nome);
    EXPECT_EQ(e.numero(), ENOSPC);
    EXPECT_EQ(e.descrizione(), std::strerror(ENOSPC));
  }
  EXPECT_EQ(c.elenco(), std::vector<std::string>{"pieno.dat"});
}

// The whole program in a child process whose files may not grow past
// `limite` bytes, with the limit's signal ignored so that the write fails
// instead. Returns the child's exit status; its report comes back through a
// pipe.
int corsa_con_limite(const prova::cartella_temporanea& c, rlim_t limite, std::string& rapporto) {
  int tubo[2];
  if (::pipe(tubo) != 0) throw std::runtime_error("pipe");
  const pid_t figlio = ::fork();
  if (figlio < 0) throw std::runtime_error("fork");
  if (figlio == 0) {
    ::close(tubo[0]);
    const rlimit r{limite, limite};
    ::signal(SIGXFSZ, SIG_IGN);
    if (::setrlimit(RLIMIT_FSIZE, &r) != 0) ::_exit(90);
    auto sistema = piattaforma_di_sistema(c.percorso().string());
    struct nel_tubo : piattaforma_inoltro {
      nel_tubo(piattaforma& b, int fd) : piattaforma_inoltro(b), fd_(fd) {}
      void mostra_attesa() override {}
      void rapporto_errore(const errore_sistema& e) override {
        const std::string t = e.what();
        if (::write(fd_, t.data(), t.size()) < 0) ::_exit(91);
      }
      int fd_;
    } p(*sistema, tubo[1]);
    const int stato = esegui(p);
    ::close(tubo[1]);
    ::_exit(stato);
  }
  ::close(tubo[1]);
  char blocco[4096];
  ssize_t n;
  while ((n = ::read(tubo[0], blocco, sizeof blocco)) > 0) rapporto.append(blocco, static_cast<std::size_t>(n));
  ::close(tubo[0]);
  int stato = 0;
  if (::waitpid(figlio, &stato, 0) != figlio) throw std::runtime_error("waitpid");
  return WIFEXITED(stato) ? WEXITSTATUS(stato) : 128 + WTERMSIG(stato);
}

TEST(PiattaformaPosixGuasti, IlLimiteDiDimensioneRaggiuntoAMetaDellaGeometria) {
  prova::cartella_temporanea c;
  const std::string sim = nome_semplice(kNomeLinea, kNumeroTreno, file_scenario::voci);
  const std::string dat = nome_semplice(kNomeLinea, kNumeroTreno, file_scenario::celle);
  const std::string geometria = nome_semplice(kNomeLinea, kNumeroTreno, file_scenario::geometria_linea);
  prova::scrivi_file(c.file(sim), "corsa precedente");
  prova::scrivi_file(c.file(dat), "corsa precedente");
  prova::scrivi_file(c.file("appunti.txt"), "non del programma");

  // The text files are a few kilobytes; the line geometry is megabytes.
  constexpr rlim_t kLimite = 65536;
  std::string rapporto;
  EXPECT_EQ(corsa_con_limite(c, kLimite, rapporto), 1);
  EXPECT_NE(rapporto.find(c.file(geometria)), std::string::npos) << rapporto;
  EXPECT_NE(rapporto.find(std::strerror(EFBIG)), std::string::npos) << rapporto;

  // The geometry holds what fitted; the earlier documents are whole; the
  // later files and the foreign one are as they were.
  EXPECT_EQ(fs::file_size(c.file(geometria)), kLimite);
  for (file_scenario f : {file_scenario::note, file_scenario::rallentamenti, file_scenario::scheda_treno}) {
    const std::string n = nome_semplice(kNomeLinea, kNumeroTreno, f);
    const std::string t = prova::leggi_file(c.file(n));
    EXPECT_GT(t.size(), 100u) << n;
    EXPECT_EQ(t.substr(t.size() - 2), "\r\n") << n;
  }
  EXPECT_EQ(prova::leggi_file(c.file(sim)), "corsa precedente");
  EXPECT_EQ(prova::leggi_file(c.file(dat)), "corsa precedente");
  EXPECT_EQ(prova::leggi_file(c.file("appunti.txt")), "non del programma");
  EXPECT_EQ(c.elenco().size(), 7u);
}

}  // namespace
}  // namespace scenario

#endif  // !defined(_WIN32)
