// The authors' tool's compile of two descriptions (as the pair target
// splits them) with its diagnostics, in text and in JSON: every outcome is
// one of the tool's statuses with its report or diagnostics, and every
// diagnosis can be shown.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/identita.h"
#include "fuzz/compila_fuzz.h"
#include "platform/piattaforma_memoria.h"
#include "compiler/compila_testi.h"
#include "compiler/diagnostica.h"
#include "common/json.h"

namespace {

constexpr std::size_t kDiagnosiInJson = 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  using namespace scenario;
  const std::string_view tutto(reinterpret_cast<const char*>(dati), n);
  const std::size_t s = tutto.find(fuzz::kSeparatore);
  const std::string linea(s == std::string_view::npos ? tutto : tutto.substr(0, s));
  const std::string treno(s == std::string_view::npos ? std::string_view() : tutto.substr(s + fuzz::kSeparatore.size()));
  if (!fuzz::linea_corta(linea)) return 0;
  piattaforma_memoria p;
  const esito_compilazione e = compila_testi(p, identita_incorporata(), linea, treno, false);
  // A pair that looks given in the wrong order is refused whole, untouched.
  if (!descrizioni_scambiate(linea, treno).empty()) {
    VERIFICA(e.stato == kStatoArgomenti && e.scritti.empty() && p.file.empty());
    VERIFICA(e.m.guasti.empty() && e.m.avvisi.empty());
    return 0;
  }
  VERIFICA(e.stato == kStatoPulito || e.stato == kStatoGuasti || e.stato == kStatoRapporto);
  VERIFICA((e.stato == kStatoRapporto) == !e.rapporto.empty());
  bool gravi = false;
  for (const avviso& a : e.m.avvisi) gravi = gravi || avviso_grave(a.tipo);
  if (e.stato != kStatoRapporto) VERIFICA((e.stato == kStatoGuasti) == (!e.m.guasti.empty() || gravi));
  VERIFICA(e.scritti.size() == (e.stato == kStatoRapporto ? 0u : 2u));
  VERIFICA(p.file.size() == e.scritti.size());
  std::size_t errori = 0;
  const std::vector<diagnosi> tutte = diagnosi_del_modello(e.m, {"linea.txt", "treno.txt"});
  for (std::size_t i = 0; i < tutte.size(); ++i) {
    const diagnosi& d = tutte[i];
    errori += d.errore && !d.avviso ? 1 : 0;
    VERIFICA(!riga_diagnosi(d).empty());
    // The JSON form is read back as one object: for the first few and the
    // last, since an input may give hundreds of warnings of one kind, all
    // built alike, and reading each back would slow every run of them.
    if (i < kDiagnosiInJson || i + 1 == tutte.size()) {
      VERIFICA(json::leggi(json_diagnosi(d)).t == json::valore::tipo::oggetto);
    }
  }
  VERIFICA(errori == e.m.guasti.size());
  return 0;
}
