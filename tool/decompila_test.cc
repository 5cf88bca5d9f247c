#include "tool/decompila.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/piattaforma_memoria.h"
#include "run/generazione.h"
#include "run/nomi.h"
#include "run/righe.h"
#include "tests/descrizioni_casuali.h"
#include "texts/testi.h"
#include "tool/compila.h"

namespace scenario {
namespace {

// The three files of two descriptions compiled by the program's compiler,
// for the built-in identity; nullopt-like empty when no file came out.
struct compilazione {
  int stato = 0;
  file_scenario_binari file;
  std::vector<guasto> guasti;
};

compilazione compila(const std::string& linea, const std::string& treno, bool geometria = true) {
  piattaforma_memoria m;
  const esito_compilazione e = compila_testi(m, identita_incorporata(), linea, treno, geometria);
  compilazione c;
  c.stato = e.stato;
  c.guasti = e.m.guasti;
  if (e.stato == kStatoRapporto || e.stato == kStatoArgomenti) return c;
  auto leggi = [&](file_scenario f) { return m.leggi(nome_file(m, kNomeLinea, kNumeroTreno, f)); };
  c.file.voci = leggi(file_scenario::voci);
  c.file.celle = leggi(file_scenario::celle);
  if (geometria) {
    c.file.geometria = leggi(file_scenario::geometria_linea);
    c.file.con_geometria = true;
  }
  return c;
}

esito_decompilazione decompila_file(const file_scenario_binari& f) {
  return decompila_e_verifica(f, ricompilatore_in_memoria(decodifica_voci(f.voci), {"linea.txt", "treno.txt"}));
}

std::string spiega(const esito_decompilazione& e, const std::string& linea, const std::string& treno) {
  std::ostringstream s;
  s << "perche: " << e.perche << "\n";
  for (const differenza& d : e.differenze) {
    s << nome_tipo_file(d.file) << " " << d.indice << "-" << d.fino << " " << d.campo << ": " << d.originale
      << " / " << d.ricompilato << "\n";
  }
  s << "--- originale linea\n" << linea << "--- originale treno\n" << treno;
  s << "--- decompilata linea\n" << e.testi.linea << "--- decompilato treno\n" << e.testi.treno;
  return s.str();
}

TEST(DecompilaCasuale, ScenariCasualiTornanoIdentici) {
  int puliti = 0;
  for (uint64_t seme = 1; seme <= 300; ++seme) {
    const prova::descrizioni_casuali d = prova::genera_descrizioni(prova::caso_da_seme(seme));
    const compilazione c = compila(d.linea, d.treno);
    ASSERT_TRUE(c.stato == kStatoPulito || c.stato == kStatoGuasti) << "seme " << seme << "\n" << d.linea << d.treno;
    if (c.stato == kStatoPulito) ++puliti;
    const esito_decompilazione e = decompila_file(c.file);
    EXPECT_TRUE(e.identico) << "seme " << seme << "\n" << spiega(e, d.linea, d.treno);
    if (!e.identico) break;
  }
  EXPECT_GE(puliti, 200);
}

}  // namespace
}  // namespace scenario
