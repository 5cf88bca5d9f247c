// Writes the seed corpus of the fuzz targets: the built-in descriptions as
// the program writes them (the line cut short), alone and joined for the
// targets that vary both.
// Usage: genera_corpus FOLDER (the corpus folder, holding one folder per
// target).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "compiler/file_uscita.h"
#include "compiler/compilazione.h"
#include "compiler/modello.h"
#include "compiler/tracciato.h"
#include "fuzz/compila_fuzz.h"
#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "common/nomi.h"

namespace {

bool scrivi(const std::filesystem::path& p, const std::string& byte) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f << byte;
  return static_cast<bool>(f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
    return 2;
  }
  using namespace scenario::fuzz;
  const std::filesystem::path c = argv[1];
  const std::string& l = linea_incorporata();
  const std::string& t = treno_incorporato();
  const std::string s(kSeparatore);
  // The built-in line is 104 km: its seeds are cut to the targets' longest
  // line, which every record beyond it then exercises as a fault.
  const std::string corta = linea_incorporata_corta();
  const bool ok = scrivi(c / "linea" / "incorporata.txt", corta) && scrivi(c / "treno" / "incorporato.txt", t) &&
                  scrivi(c / "coppia" / "incorporate.txt", corta + s + t) &&
                  scrivi(c / "coppia" / "solo_linea.txt", corta) &&
                  scrivi(c / "strumento" / "incorporate.txt", corta + s + t);
  if (!ok) return 1;

  // The decoder's seeds: the kind byte, then the file. The items and the
  // track of the built-in scenario; the geometry of a 60 m plan, whose rows
  // hold all three tags (the built-in one is megabytes).
  scenario::piattaforma_memoria p;
  scenario::modello m;
  m.nome_linea = scenario::kNomeLinea;
  m.numero_treno = scenario::kNumeroTreno;
  p.file[scenario::nome_file(p, m.nome_linea, m.numero_treno, scenario::file_scenario::descrizione_linea)] = l;
  p.file[scenario::nome_file(p, m.nome_linea, m.numero_treno, scenario::file_scenario::descrizione_treno)] = t;
  m = scenario::compila(p, scenario::identita_incorporata(), true).m;
  scenario::modello piano;
  piano.lunghezza_tracciato = 60;
  scenario::crea_tracciato(piano);
  scenario::semina_tracciato(piano);
  int32_t cursore = scenario::kInizioCursorePiano;
  scenario::completa_piano(piano, cursore);
  const bool ok_decodifica =
      scrivi(c / "decodifica" / "geometria.bin", std::string(1, '\0') + scenario::immagine_tracciato(piano)) &&
      scrivi(c / "decodifica" / "voci.bin", std::string(1, '\1') + scenario::immagine_voci(m)) &&
      scrivi(c / "decodifica" / "celle.bin", std::string(1, '\2') + scenario::immagine_celle(m));
  // The decompiler's seeds: the generator's choices from bytes of a fixed
  // sequence, both with and without damage (the first byte's parity).
  std::mt19937 g(16);
  bool ok_decompila = true;
  for (int i = 0; i < 6; ++i) {
    std::string byte(1, static_cast<char>(i));
    for (int k = 0; k < 600; ++k) byte += static_cast<char>(g() & 0xFF);
    ok_decompila = ok_decompila && scrivi(c / "decompila" / ("casuale_" + std::to_string(i) + ".bin"), byte);
  }
  return ok_decodifica && ok_decompila ? 0 : 1;
}
