#include "compiler/oltre_arresto.h"

#include <algorithm>
#include <limits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "compiler/guasti.h"
#include "compiler/memorizza.h"

namespace scenario {
namespace {

constexpr int kLinea = 1;
constexpr int kTreno = 2;

struct fermata {
  bool c = false;
  int riga = 0;
  int32_t codice = 0;
};

// The first cell of the run of zeros that ends the cells a reader's end
// processing fills (0 to ultima_cella - 3); that count when there is none.
template <typename Campo>
int64_t zeri_finali(const modello& m, Campo campo) {
  int64_t i = std::min<int64_t>(int64_t{m.ultima_cella} - 2, static_cast<int64_t>(m.celle.size()));
  while (i > 0 && campo(m.celle[static_cast<std::size_t>(i - 1)]) == 0) --i;
  return i;
}

// Keywords in the order first met, with their counts.
struct conteggio {
  std::vector<std::pair<std::string, int>> v;
  int totale = 0;
  void conta(const char* parola) {
    ++totale;
    for (auto& [p, n] : v) {
      if (p == parola) {
        ++n;
        return;
      }
    }
    v.emplace_back(parola, 1);
  }
  int di(const std::string& parola) const {
    for (const auto& [p, n] : v) {
      if (p == parola) return n;
    }
    return 0;
  }
  std::string testo() const {
    std::string s;
    for (const auto& [p, n] : v) s += (s.empty() ? "" : ", ") + std::to_string(n) + " " + p;
    return s;
  }
};

void aggiungi(std::string& a, const std::string& b) {
  if (b.empty()) return;
  a += (a.empty() ? "" : "; ") + b;
}

std::string da_metri(int64_t cella) {
  return cella == 0 ? std::string("su tutto il tracciato")
                    : "da " + std::to_string(cella * 50) + " m alla fine del tracciato";
}

// What the written files lack for the records of `file` that were not
// compiled, and for the end processing that did not run.
std::string mancanze(const modello& m, int file, const conteggio& compilati, const conteggio& persi,
                     const conteggio& treno) {
  std::string r;
  for (const auto& [parola, n] : persi.v) {
    if (compilati.di(parola) > 0) continue;
    if (parola == "velocita" || parola == "aderenza") {
      if (!m.profili_completati) continue;  // said below, from the cells
      aggiungi(r, "nessun record " + parola + " compilato");
    } else if (parola == "stazione") {
      aggiungi(r, "nessuna stazione compilata");
    } else {
      aggiungi(r, "nessun record " + parola + " compilato");
    }
  }
  // A train not read at all: its profiles are told below.
  if (treno.di("stazione") > 0) aggiungi(r, "nessuna stazione compilata");
  if (file == kLinea && !m.pendenze_completate) {
    const int64_t da = zeri_finali(m, [](const cella& c) { return c.pendenza; });
    aggiungi(r, "pendenza non completata: le celle " + da_metri(da) +
                    " valgono 0, cioè -100 per mille");
  }
  if (!m.profili_completati && (file == kTreno || !m.pendenze_completate)) {
    // Why a profile is 0: none of its records was compiled, or its last
    // value was never carried to the end of the track.
    const auto perche = [&](const char* parola) {
      return compilati.di(parola) == 0 && persi.di(parola) + treno.di(parola) > 0
                 ? "nessun record " + std::string(parola) + " compilato: "
                 : std::string();
    };
    const int64_t v = zeri_finali(m, [](const cella& c) { return c.velocita_max; });
    const int64_t a = zeri_finali(m, [](const cella& c) { return c.aderenza; });
    aggiungi(r, perche("velocita") + "velocità massima 0 " + da_metri(v));
    aggiungi(r, perche("aderenza") + "aderenza 0 " + da_metri(a));
  }
  return r;
}

}  // namespace

bool ferma_la_lettura(int32_t codice) {
  return codice != codice_progressiva_fuori_passo && codice != codice_marcatore_segnale &&
         codice != codice_marcatore_gruppo && codice != codice_marcatore_percorso;
}

void esamina_oltre_arresto(piattaforma& p, modello& m) {
  fermata f[3];
  std::set<int32_t> codici;
  for (const guasto& g : m.guasti) {
    codici.insert(g.codice);
    if (!g.compilato || g.file < kLinea || g.file > kTreno || !ferma_la_lettura(g.codice)) continue;
    if (!f[g.file].c) f[g.file] = {true, g.riga, g.codice};
  }
  if (!f[kLinea].c && !f[kTreno].c) return;
  // Without the description, or without a general section, nothing more
  // can be read.
  if (f[kLinea].codice == codice_linea_assente || f[kLinea].codice == codice_generale_assente) return;
  const bool treno_non_letto = f[kLinea].c && f[kLinea].codice != codice_fuori_percorso;

  modello d;
  d.nome_linea = m.nome_linea;
  d.numero_treno = m.numero_treno;
  d.calcola_tracciato = m.calcola_tracciato;
  d.solo_diagnosi = true;
  pulisci_voci(d);
  memorizza_dati(p, d);

  // The stopping record's own fault in the reading for diagnosis: what
  // follows it on its line (the values the stop left unread) is new too.
  int dopo_il_guasto[3] = {0, 0, 0};
  for (int file : {kLinea, kTreno}) {
    dopo_il_guasto[file] = std::numeric_limits<int>::max();
    for (const guasto& g : d.guasti) {
      if (f[file].c && g.file == file && g.riga == f[file].riga && g.codice == f[file].codice) {
        dopo_il_guasto[file] = g.ordine;
        break;
      }
    }
  }
  const auto perso = [&](int file, int riga, int ordine) {
    if (file < kLinea || file > kTreno) return false;
    if (file == kTreno && treno_non_letto) return true;
    return f[file].c && (riga > f[file].riga || (riga == f[file].riga && ordine > dopo_il_guasto[file]));
  };
  int base = 0;
  for (const guasto& g : m.guasti) base = std::max(base, g.ordine + 1);
  for (const avviso& a : m.avvisi) base = std::max(base, a.ordine + 1);
  for (guasto g : d.guasti) {
    const bool fine_lettura = g.riga == 0 && g.file > 0 && codici.count(g.codice) == 0;
    if (!(g.riga > 0 && perso(g.file, g.riga, g.ordine)) && !fine_lettura) continue;
    g.compilato = false;
    g.ordine += base;
    m.guasti.push_back(std::move(g));
  }
  for (avviso a : d.avvisi) {
    if (a.riga == 0 || !perso(a.file, a.riga, a.ordine)) continue;
    a.compilato = false;
    a.ordine += base;
    m.avvisi.push_back(std::move(a));
  }

  for (int file : {kLinea, kTreno}) {
    if (!f[file].c) continue;
    arresto_lettura a;
    a.file = file;
    a.riga = f[file].riga;
    a.codice = f[file].codice;
    conteggio compilati, persi, treno;
    for (const record_letto& r : d.letti) {
      if (r.file == file && r.riga > a.riga) {
        persi.conta(r.parola);
        if (a.dalla_riga == 0) a.dalla_riga = r.riga;
      } else if (r.file == file && r.riga < a.riga) {
        compilati.conta(r.parola);
      } else if (file == kLinea && r.file == kTreno && treno_non_letto) {
        treno.conta(r.parola);
      }
    }
    if (a.dalla_riga == 0) a.dalla_riga = a.riga + 1;
    a.non_compilati = persi.totale;
    a.per_genere = persi.testo();
    if (file == kLinea && treno_non_letto) {
      a.treno_non_letto = true;
      a.record_treno = treno.totale;
    }
    // A compile that wrote no file lacks nothing more.
    if (m.celle.size() >= 2) a.mancano = mancanze(m, file, compilati, persi, treno);
    m.arresti.push_back(std::move(a));
  }
}

}  // namespace scenario
