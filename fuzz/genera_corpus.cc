// Writes the seed corpus of the fuzz targets: the built-in descriptions as
// the program writes them, alone and joined for the target that varies both.
// Usage: genera_corpus FOLDER (the corpus folder, holding one folder per
// target).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/compila_fuzz.h"

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
  const bool ok = scrivi(c / "linea" / "incorporata.txt", l) && scrivi(c / "treno" / "incorporato.txt", t) &&
                  scrivi(c / "coppia" / "incorporate.txt", l + s + t) &&
                  scrivi(c / "coppia" / "solo_linea.txt", l);
  return ok ? 0 : 1;
}
