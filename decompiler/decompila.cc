// The decompiler's two entry points: the reconstruction, with the search for
// the 180 records when a compile is at hand, and the whole proof on bytes.
#include "decompiler/decompila.h"

#include <optional>
#include <set>
#include <utility>

#include "decompiler/ricostruzione.h"

namespace scenario {

descrizioni decompila(const scenario_binario& s, const ricompilatore& prova) {
  decompilazione::ricostruzione r(s);
  descrizioni d;
  d.linea = r.linea();
  std::set<int64_t> abbattimenti_180;
  const std::vector<int64_t> celle_180 = r.celle_180();
  if (prova && !celle_180.empty()) {
    abbattimenti_180 = decompilazione::scegli_abbattimenti_180(s, d.linea, prova, celle_180);
  }
  d.treno = r.treno(abbattimenti_180);
  d.note = std::move(r.note);
  return d;
}

esito_decompilazione decompila_e_verifica(const file_scenario_binari& f, const ricompilatore& compila) {
  const scenario_binario s = leggi_scenario(f);
  esito_decompilazione e;
  // The geometry, when there is one, is compared as it is written.
  const piano_in_file* piano = s.piano.get();
  auto identico = [&f, piano](const ricompilato& r) {
    return r.scritto && r.file.voci == f.voci && r.file.celle == f.celle && (!piano || r.geometria_identica);
  };
  // A first draft with no 180 record: the track completion makes most
  // 180 markers again, often all of them, and then its compile is the
  // proof; the search runs only when it differs, from its track.
  decompilazione::ricostruzione bozza(s);
  e.testi.linea = bozza.linea();
  e.testi.treno = bozza.treno({});
  e.testi.note = bozza.note;
  ricompilato r = compila(e.testi.linea, e.testi.treno, piano);
  const std::vector<int64_t> celle_180 = bozza.celle_180();
  if (r.scritto && !identico(r) && !celle_180.empty()) {
    std::optional<std::vector<cella>> senza;
    try {
      senza = decodifica_celle(r.file.celle);
    } catch (const errore_decodifica&) {
    }
    const std::set<int64_t> scelte =
        decompilazione::scegli_abbattimenti_180(s, e.testi.linea, compila, celle_180, senza ? &*senza : nullptr);
    if (!scelte.empty()) {
      e.testi.treno = decompilazione::ricostruzione(s).treno(scelte);
      r = compila(e.testi.linea, e.testi.treno, piano);
    }
  }
  e.guasti = r.guasti;
  if (!r.scritto) {
    e.perche = r.perche;
    return e;
  }
  e.ricompilato = true;
  e.identico = identico(r);
  if (e.identico) return e;
  try {
    file_scenario_binari nuovi = r.file;
    nuovi.con_geometria = false;
    e.differenze = confronta_scenari(s, decompilazione::decodifica_senza_controlli(nuovi));
    if (!r.geometria_illeggibile.empty()) {
      e.differenze.clear();
      e.perche = "i file ricompilati non si decodificano: " + r.geometria_illeggibile;
    }
    for (differenza& d : r.differenze_geometria) e.differenze.push_back(std::move(d));
  } catch (const errore_decodifica& x) {
    e.perche = std::string("i file ricompilati non si decodificano: ") + x.what();
  }
  if (e.differenze.empty() && e.perche.empty()) e.perche = "i byte differiscono";
  return e;
}

}  // namespace scenario
