// The POSIX platform against the real system: links at the output names,
// and a file size limit that the process meets in the middle of a file.
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
#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "run/generazione.h"
#include "common/nomi.h"
#include "tests/prova.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

const auto& kTutti = prova::kFileDellaCorsa;

// Links at every output name, dangling or to a file outside the folder, a
// device among them: the run replaces each link with its file and creates or
// changes nothing outside the folder.
TEST(PiattaformaPosixCollegamenti, LaCorsaSostituisceICollegamentiSenzaSeguirli) {
  for (const bool mancanti : {true, false}) {
    SCOPED_TRACE(mancanti ? "collegamenti pendenti" : "collegamenti a file esistenti");
    prova::cartella_temporanea radice;
    const fs::path cartella = radice.percorso() / "programma";
    const fs::path fuori = radice.percorso() / "fuori";
    fs::create_directories(cartella);
    fs::create_directories(fuori);
    int i = 0;
    for (file_scenario f : kTutti) {
      const fs::path bersaglio = fuori / ("f" + std::to_string(i++));
      if (!mancanti) prova::scrivi_file(bersaglio.string(), "di fuori");
      fs::create_symlink(f == file_scenario::note && !mancanti ? fs::path("/dev/full") : bersaglio,
                         cartella / nome_semplice(kNomeLinea, kNumeroTreno, f));
    }
    std::vector<std::string> prima;
    for (const auto& e : fs::directory_iterator(fuori)) prima.push_back(e.path().filename().string());

    auto sistema = piattaforma_di_sistema(cartella.string());
    con_registro<piattaforma_inoltro> p(*sistema);
    EXPECT_EQ(esegui(p), 0);
    EXPECT_TRUE(p.rapporti.empty());

    std::vector<std::string> dopo;
    for (const auto& e : fs::directory_iterator(fuori)) {
      dopo.push_back(e.path().filename().string());
      EXPECT_EQ(prova::leggi_file(e.path().string()), "di fuori") << e.path();
    }
    EXPECT_EQ(dopo.size(), prima.size());
    std::vector<std::string> nella_cartella;
    for (const auto& e : fs::directory_iterator(cartella)) {
      nella_cartella.push_back(e.path().filename().string());
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(e.path()))) << e.path();
    }
    EXPECT_EQ(nella_cartella.size(), 6u);
  }
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
  for (const std::string& n : {sim, dat, geometria}) prova::scrivi_file(c.file(n), "corsa precedente");
  prova::scrivi_file(c.file("appunti.txt"), "non del programma");

  // The text files are a few kilobytes; the line geometry is megabytes.
  constexpr rlim_t kLimite = 65536;
  std::string rapporto;
  EXPECT_EQ(corsa_con_limite(c, kLimite, rapporto), 1);
  EXPECT_NE(rapporto.find(c.file(geometria)), std::string::npos) << rapporto;
  EXPECT_NE(rapporto.find(std::strerror(EFBIG)), std::string::npos) << rapporto;

  // The documents of this run are whole; the earlier binary set is whole,
  // the geometry included; the descriptions, the foreign file and no
  // temporary file are what else the folder holds.
  for (file_scenario f : {file_scenario::note, file_scenario::rallentamenti, file_scenario::scheda_treno}) {
    const std::string n = nome_semplice(kNomeLinea, kNumeroTreno, f);
    const std::string t = prova::leggi_file(c.file(n));
    EXPECT_GT(t.size(), 100u) << n;
    EXPECT_EQ(t.substr(t.size() - 2), "\r\n") << n;
  }
  for (const std::string& n : {sim, dat, geometria}) EXPECT_EQ(prova::leggi_file(c.file(n)), "corsa precedente") << n;
  EXPECT_EQ(prova::leggi_file(c.file("appunti.txt")), "non del programma");
  EXPECT_EQ(c.elenco().size(), 7u);
}

}  // namespace
}  // namespace scenario

#endif  // !defined(_WIN32)
