// The seam to the compiler: the only place of the decompiler that runs it.
#include "decompiler/decompila.h"

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/nomi.h"
#include "compiler/compila_testi.h"
#include "compiler/formato_geometria.h"
#include "compiler/voci.h"
#include "decompiler/confronto.h"
#include "platform/cp1252.h"
#include "platform/piattaforma_memoria.h"

namespace scenario {
namespace {

using decompilazione::colonne_scritte;
using decompilazione::confronto_geometria;

// The memory platform, but the line geometry goes to the comparison as it
// is written and leaves an empty file: it is tens of megabytes on a long
// line. A fault reading the original is kept for after the compile, which
// would otherwise take it for its own.
class piattaforma_confronto : public piattaforma_memoria {
 public:
  piattaforma_confronto(std::string geometria, confronto_geometria& c)
      : geometria_(std::move(geometria)), colonne_(c) {}

  std::string scrivi_temporaneo_posizionato(const std::string& nome,
                                            const std::function<pezzo_posizionato()>& prossimo) override {
    if (nome != geometria_) return piattaforma_memoria::scrivi_temporaneo_posizionato(nome, prossimo);
    for (pezzo_posizionato p = prossimo(); !p.byte.empty(); p = prossimo()) {
      if (errore_) continue;
      try {
        colonne_.pezzo(p);
      } catch (...) {
        errore_ = std::current_exception();
      }
    }
    return piattaforma_memoria::scrivi_temporaneo(nome, [] { return std::string_view(); });
  }

  std::optional<uint64_t> righe() const {
    if (errore_) std::rethrow_exception(errore_);
    return colonne_.righe();
  }

 private:
  std::string geometria_;
  colonne_scritte colonne_;
  std::exception_ptr errore_;
};

}  // namespace

ricompilatore ricompilatore_in_memoria(const std::array<voce, kNumeroVoci>& voci, const nomi_sorgenti& nomi) {
  const identita id{cp1252_in_utf8(voci[voce_linea].nome), cp1252_in_utf8(voci[voce_treno].nome)};
  return [id, nomi](const std::string& linea, const std::string& treno, const piano_in_file* piano) {
    ricompilato r;
    std::optional<confronto_geometria> confronto;
    if (piano) confronto.emplace(*piano);
    piattaforma_memoria tenuti;  // the geometry held whole, on the way back
    std::optional<piattaforma_confronto> confrontati;
    if (piano) confrontati.emplace(nome_file(tenuti, id.nome_linea, id.numero_treno, file_scenario::geometria_linea),
                                   *confronto);
    piattaforma_memoria& memoria = confrontati ? *confrontati : tenuti;
    const esito_compilazione e = compila_testi(memoria, id, linea, treno, piano != nullptr);
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
    r.scritto = true;
    if (!piano) return r;
    std::optional<uint64_t> righe = confrontati->righe();
    if (!righe) {
      // Written in another shape: compiled again, held whole and decoded.
      confrontati.reset();
      confronto.emplace(*piano);
      piattaforma_memoria intera;
      compila_testi(intera, id, linea, treno, true);
      try {
        const geometria g =
            decodifica_geometria(intera.leggi(nome_file(intera, id.nome_linea, id.numero_treno, file_scenario::geometria_linea)));
        for (int asse = 0; asse < 2; ++asse) {
          for (const numero_etichettato& v : asse == 0 ? g.x : g.y) confronto->valore(asse, v);
        }
        righe = g.x.size();
      } catch (const errore_decodifica& x) {
        r.geometria_illeggibile = errore_scenario(tipo_file::geometria, x.offset(), x.motivo()).what();
        return r;
      }
    }
    r.differenze_geometria = confronto->finisci(*righe);
    r.geometria_identica = r.differenze_geometria.empty();
    return r;
  };
}

}  // namespace scenario
