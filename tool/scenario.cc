#include <iostream>
#include <string>
#include <vector>

#include "tool/comandi.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> argomenti(argv + (argc > 0 ? 1 : 0), argv + argc);
  const int stato = scenario::strumento_scenario(argomenti, std::cout, std::cerr);
  std::cout.flush();
  return stato;
}
