// Writes the program's two built-in descriptions, byte for byte as the
// program writes them, into a folder as linea.txt and treno.txt.
//   scrivi_incorporate CARTELLA
#include <fstream>
#include <iostream>
#include <string>
#include <utility>

#include "common/righe.h"
#include "platform/piattaforma_memoria.h"
#include "texts/testi.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "uso: scrivi_incorporate CARTELLA\n";
    return 2;
  }
  scenario::piattaforma_memoria p;
  const std::pair<const char*, std::string> file[] = {{"linea.txt", scenario::testo_righe(scenario::righe_linea(p))},
                                                      {"treno.txt", scenario::testo_righe(scenario::righe_treno(p))}};
  for (const auto& [nome, testo] : file) {
    const std::string percorso = std::string(argv[1]) + "/" + nome;
    std::ofstream f(percorso, std::ios::binary);
    f << testo;
    f.close();
    if (!f) {
      std::cerr << "scrivi_incorporate: impossibile scrivere " << percorso << '\n';
      return 1;
    }
  }
  return 0;
}
