// Writes the dense scenario's two descriptions for a line of the given
// length (bench/linea_densa.h), for `scenario compila` run as a process.
// Usage: descrizioni_dense LENGTH_IN_METRES LINE_FILE TRAIN_FILE
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/linea_densa.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s LENGTH_IN_METRES LINE_FILE TRAIN_FILE\n", argv[0]);
    return 2;
  }
  const long lunghezza = std::strtol(argv[1], nullptr, 10);
  if (lunghezza < 10000 || lunghezza > 1000000) {
    std::fprintf(stderr, "length must be 10000 to 1000000 metres\n");
    return 2;
  }
  const auto l = static_cast<int32_t>(lunghezza);
  std::ofstream linea(argv[2], std::ios::binary);
  linea << scenario::linea_densa(l);
  std::ofstream treno(argv[3], std::ios::binary);
  treno << scenario::treno_denso(l);
  return linea && treno ? 0 : 1;
}
