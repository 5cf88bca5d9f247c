// On POSIX systems the arguments and the standard streams are bytes, and
// UTF-8 passes through them unchanged.
#include <malloc.h>

#include <iostream>

#include "platform/riga_comando.h"

namespace scenario {

std::vector<std::string> argomenti_utf8(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void prepara_processo() {
  // glibc maps blocks from 128 KiB up on their own and unmaps them when
  // freed, and trims the heap's top at 128 KiB: each description read and
  // each piece written would be new pages. Up to 64 MiB (the largest
  // description) blocks come from the heap, which keeps what is freed.
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 128 << 20);
}

std::ostream& uscita_utf8() { return std::cout; }
std::ostream& errore_utf8() { return std::cerr; }

std::istream& ingresso_binario() { return std::cin; }

}  // namespace scenario
