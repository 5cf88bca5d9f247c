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
#include "compiler/codifica.h"
#include "compiler/compila_testi.h"
#include "compiler/formato_geometria.h"
#include "compiler/voci.h"
#include "decompiler/confronto.h"
#include "platform/cp1252.h"
#include "platform/piattaforma_memoria.h"

namespace scenario {
namespace {

using decompilazione::confronto_geometria;

// The line geometry as the compiler writes it, decoded as its pieces come
// and handed to the comparison, never held whole: the x column's pieces
// from offset 0 on and the y column's from where x ends, each column in
// order, as the compiler writes them. Anything else (pieces out of order,
// a tag no value has, columns that do not meet or differ in length) is only
// noted: the file is then compiled again and held whole.
class colonne_scritte {
 public:
  explicit colonne_scritte(confronto_geometria& c) : confronto_(c) {}

  void pezzo(const pezzo_posizionato& p) {
    if (!in_forma_) return;
    colonna* k = nullptr;
    if (x_.aperta && p.posizione == x_.fine) {
      k = &x_;
    } else if (y_.aperta && p.posizione == y_.fine) {
      k = &y_;
    } else if (!x_.aperta && p.posizione == 0) {
      k = &x_;
    } else if (!y_.aperta && p.posizione != 0) {
      k = &y_;
    } else {
      in_forma_ = false;
      return;
    }
    if (!k->aperta) {
      k->aperta = true;
      k->inizio = k->fine = p.posizione;
    }
    k->fine += p.byte.size();
    decodifica(*k, k == &x_ ? 0 : 1, p.byte);
  }

  // The rows written, when the file was two whole columns of them.
  std::optional<uint64_t> righe() const {
    if (!in_forma_ || !x_.aperta || !y_.aperta || x_.fine != y_.inizio || !x_.resto.empty() || !y_.resto.empty() ||
        x_.valori != y_.valori) {
      return std::nullopt;
    }
    return x_.valori;
  }

 private:
  struct colonna {
    bool aperta = false;
    uint64_t inizio = 0;
    uint64_t fine = 0;    // where its next piece goes
    std::string resto;    // the start of a value that the next piece ends
    uint64_t valori = 0;
  };

  // The whole values at the start of `b`, handed on; returns their bytes.
  std::size_t valori(colonna& k, int asse, std::string_view b) {
    std::size_t i = 0;
    while (b.size() - i >= formato::kBytesVuoto) {
      std::size_t misura = 0;
      switch (decodifica_u16(b.data() + i + formato::etichettato::etichetta)) {
        case formato::kEtichettaVuoto: misura = formato::kBytesVuoto; break;
        case formato::kEtichettaIntero: misura = formato::kBytesIntero; break;
        case formato::kEtichettaReale: misura = formato::kBytesReale; break;
        default: in_forma_ = false; return b.size();
      }
      if (b.size() - i < misura) break;
      numero_etichettato v;
      decodifica_etichettato(b.data() + i, misura, 0, v);
      confronto_.valore(asse, v);
      ++k.valori;
      i += misura;
    }
    return i;
  }

  void decodifica(colonna& k, int asse, std::string_view b) {
    if (!k.resto.empty()) {
      // A value is at most kBytesReale long: what it lacks is in the first
      // bytes of this piece.
      const std::size_t prima = k.resto.size();
      k.resto.append(b.substr(0, formato::kBytesReale));
      const std::size_t fatti = valori(k, asse, k.resto);
      if (!in_forma_) return;
      if (fatti == 0) return;  // the piece was shorter than the value: all of it is kept
      b.remove_prefix(fatti - prima);
      k.resto.clear();
    }
    const std::size_t fatti = valori(k, asse, b);
    if (in_forma_) k.resto.assign(b.substr(fatti));
  }

  confronto_geometria& confronto_;
  colonna x_, y_;
  bool in_forma_ = true;
};

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
