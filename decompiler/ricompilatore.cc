// The seam to the compiler: the only place of the decompiler that runs it.
#include "decompiler/decompila.h"

#include "common/nomi.h"
#include "compiler/compila_testi.h"
#include "compiler/voci.h"
#include "platform/cp1252.h"
#include "platform/piattaforma_memoria.h"

namespace scenario {

ricompilatore ricompilatore_in_memoria(const std::array<voce, kNumeroVoci>& voci, const nomi_sorgenti& nomi) {
  const identita id{cp1252_in_utf8(voci[voce_linea].nome), cp1252_in_utf8(voci[voce_treno].nome)};
  return [id, nomi](const std::string& linea, const std::string& treno, bool con_geometria) {
    ricompilato r;
    piattaforma_memoria memoria;
    const esito_compilazione e = compila_testi(memoria, id, linea, treno, con_geometria);
    for (const diagnosi& d : diagnosi_del_modello(e.m, nomi)) {
      if (d.errore) r.guasti.push_back(d);
    }
    if (e.stato == kStatoRapporto) {
      r.perche = "la compilazione è finita nel rapporto d'errore \"" + e.rapporto + "\": " +
                 significato_rapporto(e.codice_rapporto);
      return r;
    }
    if (e.stato == kStatoArgomenti) {
      r.perche = "l'identità delle voci 85 e 86 non si può usare: " + e.errore;
      return r;
    }
    auto leggi = [&](file_scenario f) {
      return memoria.leggi(nome_file(memoria, id.nome_linea, id.numero_treno, f));
    };
    r.file.voci = leggi(file_scenario::voci);
    r.file.celle = leggi(file_scenario::celle);
    if (con_geometria) {
      r.file.geometria = leggi(file_scenario::geometria_linea);
      r.file.con_geometria = true;
    }
    r.scritto = true;
    return r;
  };
}

}  // namespace scenario
