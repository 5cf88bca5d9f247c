#include "fuzz/compila_fuzz.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <typeinfo>

#include "compiler/compilazione.h"
#include "compiler/modello.h"
#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "common/nomi.h"
#include "common/righe.h"
#include "texts/testi.h"

namespace scenario::fuzz {
namespace {

[[noreturn]] void fallisci(const char* condizione, const char* file, int riga) {
  std::fprintf(stderr, "%s:%d: violated: %s\n", file, riga, condizione);
  std::abort();
}

#define VERIFICA(c) ((c) ? (void)0 : fallisci(#c, __FILE__, __LINE__))

std::string nome(piattaforma& p, file_scenario f) { return nome_file(p, kNomeLinea, kNumeroTreno, f); }

// Where a file must not be, or must be with exactly this size.
void verifica_assente(piattaforma_memoria& p, file_scenario f) { VERIFICA(p.file.count(nome(p, f)) == 0); }

std::size_t dimensione(piattaforma_memoria& p, file_scenario f) {
  const auto it = p.file.find(nome(p, f));
  VERIFICA(it != p.file.end());
  return it->second.size();
}

}  // namespace

const std::string& linea_incorporata() {
  static const std::string t = [] {
    piattaforma_memoria p;
    return testo_righe(righe_linea(p));
  }();
  return t;
}

const std::string& treno_incorporato() {
  static const std::string t = [] {
    piattaforma_memoria p;
    return testo_righe(righe_treno(p));
  }();
  return t;
}

bool compila_e_verifica(const std::optional<std::string_view>& linea,
                        const std::optional<std::string_view>& treno) {
  piattaforma_memoria p;
  if (linea) p.file[nome(p, file_scenario::descrizione_linea)] = std::string(*linea);
  if (treno) p.file[nome(p, file_scenario::descrizione_treno)] = std::string(*treno);

  risultato_compilazione r;
  bool terminato = false;
  try {
    r = compila(p, identita_incorporata(), true);
    // The compiler shows nothing itself; a report is a code, and it leaves
    // no binary file (checked below).
    VERIFICA(p.messaggi.empty());
    VERIFICA(!r.sistema.has_value());
    terminato = r.rapporto.has_value();
    if (terminato) VERIFICA(!r.rapporto->codice.empty());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "escaped the driver: %s: %s\n", typeid(e).name(), e.what());
    std::abort();
  } catch (...) {
    std::fprintf(stderr, "escaped the driver: an exception of unknown type\n");
    std::abort();
  }

  // Every path that opened the line description deleted it.
  if (linea) verifica_assente(p, file_scenario::descrizione_linea);

  if (terminato) {
    // The error report comes before any binary file is written.
    verifica_assente(p, file_scenario::geometria_linea);
    verifica_assente(p, file_scenario::voci);
    verifica_assente(p, file_scenario::celle);
    return false;
  }

  const modello& m = r.m;
  VERIFICA(m.ultima_cella >= 1);
  VERIFICA(m.celle.size() == static_cast<std::size_t>(m.ultima_cella) + 1);
  VERIFICA(dimensione(p, file_scenario::celle) == 15 * (static_cast<std::size_t>(m.ultima_cella) + 1));
  std::size_t nomi = 0;
  for (const voce& v : m.voci) nomi += v.nome.size();
  VERIFICA(dimensione(p, file_scenario::voci) == 2958 + nomi);
  // Every row of the plan is a tagged number of 2, 4 or 10 bytes, in two
  // columns of lunghezza_tracciato + 1 rows.
  const std::size_t righe = static_cast<std::size_t>(m.lunghezza_tracciato) + 1;
  const std::size_t geometria = dimensione(p, file_scenario::geometria_linea);
  VERIFICA(geometria >= 2 * 2 * righe && geometria <= 2 * 10 * righe);
  // The fixed values of the checks are in place.
  VERIFICA(m.voci[85].gruppo_1a == 610 && m.celle[1].dato1 == 5121);
  return true;
}

}  // namespace scenario::fuzz
