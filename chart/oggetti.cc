#include "chart/oggetti.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "chart/grafico_pagina.h"
#include "chart/svg.h"
#include "compiler/voci.h"

namespace scenario {

using namespace grafico_interno;
using svg::num;

const char* nome_genere(genere_oggetto g) {
  switch (g) {
    case genere_oggetto::stazione: return "stazione";
    case genere_oggetto::segnale: return "segnale";
    case genere_oggetto::rallentamento: return "rallentamento";
    case genere_oggetto::avviso: return "avviso";
    case genere_oggetto::preavviso: return "preavviso";
    case genere_oggetto::abbattimento: return "abbattimento";
    case genere_oggetto::curva: return "curva";
    case genere_oggetto::pendenza: return "pendenza";
    case genere_oggetto::velocita: return "velocita";
    case genere_oggetto::aderenza: return "aderenza";
    case genere_oggetto::cartello_vmax: return "cartello_vmax";
    case genere_oggetto::cartello: return "cartello";
    case genere_oggetto::montagna: return "montagna";
  }
  return "";
}

namespace {

std::string gruppo_vmax(int16_t dato) {
  // dato = speed·20 + other speed / 5: the "s" speed and the "d" speed.
  const int v = dato;
  const int s = v / 20, resto = v % 20;
  return std::to_string(s) + (resto ? "+" + std::to_string(resto * 5) : "");
}

}  // namespace

std::string etichetta_vmax(const cella& c) {
  std::string t = gruppo_vmax(c.dato1) + "/" + gruppo_vmax(c.dato2) + "/" + gruppo_vmax(c.dato3);
  if (c.dato4) t += " ≡" + std::to_string(c.dato4);
  return t;
}

std::string nome_curva(const curva_ricostruita& c) {
  return std::string(c.sinistra ? "s" : "d") + (c.classe ? std::to_string(c.classe) : "?");
}

namespace {

double raggio(const curva_ricostruita& c) { return std::fabs(c.tasso) > 0 ? 1 / std::fabs(c.tasso) : 0; }

}  // namespace

std::string etichetta_curva(const curva_ricostruita& c) {
  return nome_curva(c) + " R" + num(std::nearbyint(raggio(c)));
}

std::string etichetta_stazione(const voce& v) {
  const std::string orario = ora(v.orario);
  return utf8(v.nome) + (orario.empty() ? "" : " " + orario);
}

std::string testo_cartello(const dati_grafico& d, const cella& c) {
  const std::string t =
      c.dato1 >= 0 && c.dato1 < kNumeroVoci ? utf8(d.voci[static_cast<std::size_t>(c.dato1)].nome) : "";
  return t.empty() ? "voce " + std::to_string(c.dato1) : t;
}

std::vector<tratto_rallentamento> rallentamenti(const std::vector<cella>& celle) {
  std::vector<tratto_rallentamento> r;
  for (std::size_t k = 0; k < celle.size(); ++k) {
    if (celle[k].tipo != cella_inizio_rallentamento) continue;
    std::size_t e = k + 1;
    while (e < celle.size() && celle[e].tipo != cella_fine_rallentamento) ++e;
    r.push_back({k, e < celle.size() ? e : k});
  }
  return r;
}

std::size_t celle_con_pendenza(const std::vector<cella>& celle) {
  std::size_t n = celle.size();
  while (n > 0 && celle.size() - n < 3 && celle[n - 1].pendenza == 0) --n;
  return n;
}

namespace {

// The records by kind and cell (or item): the last of each wins, as the
// last record written on a cell is the one that stands there.
class indice_provenienze {
 public:
  explicit indice_provenienze(const std::vector<provenienza>& o) : o_(o) {
    chiavi_.reserve(o.size());
    for (std::size_t i = 0; i < o.size(); ++i) chiavi_.emplace_back(chiave(o[i].genere, numero(o[i])), i);
    std::stable_sort(chiavi_.begin(), chiavi_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
  }

  // The record of `genere` on cell (or item, or metre for curves) `n`.
  const provenienza* trova(genere_provenienza genere, int64_t n) const {
    const uint64_t k = chiave(genere, n);
    auto it = std::upper_bound(chiavi_.begin(), chiavi_.end(), k,
                               [](uint64_t v, const auto& e) { return v < e.first; });
    if (it == chiavi_.begin() || (it - 1)->first != k) return nullptr;
    return &o_[(it - 1)->second];
  }

  // The last record of `genere` keyed at most `n`, and not below `minimo`.
  const provenienza* fino_a(genere_provenienza genere, int64_t n, int64_t minimo) const {
    auto it = std::upper_bound(chiavi_.begin(), chiavi_.end(), chiave(genere, n),
                               [](uint64_t v, const auto& e) { return v < e.first; });
    if (it == chiavi_.begin() || (it - 1)->first < chiave(genere, minimo)) return nullptr;
    return &o_[(it - 1)->second];
  }

 private:
  static int64_t numero(const provenienza& o) {
    if (o.genere == genere_provenienza::stazione) return o.voce;
    if (o.genere == genere_provenienza::curva) return o.metro;
    return o.cella;
  }
  static uint64_t chiave(genere_provenienza g, int64_t n) {
    // Cells, items and metres are below 2^31 and never negative here.
    return (uint64_t{static_cast<uint8_t>(g)} << 32) | static_cast<uint32_t>(std::max<int64_t>(n, 0));
  }

  const std::vector<provenienza>& o_;
  std::vector<std::pair<uint64_t, std::size_t>> chiavi_;
};

std::string metri(int64_t m) { return intero(m) + " m"; }

// A signal's values as written, then its packed codes.
std::string testo_valori_segnale(const cella& c) {
  return "sx s1 s2 s3 / dx d1 d2 d3: " + etichetta_segnale(c) + " (dato1–4 " + std::to_string(c.dato1) + "/" +
         std::to_string(c.dato2) + "/" + std::to_string(c.dato3) + "/" + std::to_string(c.dato4) + ", tempo " +
         std::to_string(c.tempo_segnale) + ")";
}

// Runs of cells of one value, from cell 0 to `limite`: one stretch each.
void tratti_profilo(std::vector<oggetto_grafico>& r, const std::vector<cella>& celle, std::size_t limite,
                    genere_oggetto genere, const std::function<double(const cella&)>& valore,
                    const std::function<std::string(double)>& scritto, const indice_provenienze& provenienze,
                    genere_provenienza genere_record) {
  std::size_t inizio = 0;
  for (std::size_t k = 1; k <= limite; ++k) {
    if (k < limite && valore(celle[k]) == valore(celle[inizio])) continue;
    oggetto_grafico o;
    o.genere = genere;
    o.cella = static_cast<int32_t>(inizio);
    o.celle = static_cast<int32_t>(k - inizio);
    o.da = static_cast<int64_t>(inizio) * 50;
    o.a = static_cast<int64_t>(k) * 50;
    o.valore = valore(celle[inizio]);
    o.etichetta = num(o.valore);
    o.valori = scritto(o.valore);
    o.record = provenienze.trova(genere_record, static_cast<int64_t>(inizio));
    r.push_back(std::move(o));
    inizio = k;
  }
}

oggetto_grafico su_cella(genere_oggetto g, std::size_t k) {
  oggetto_grafico o;
  o.genere = g;
  o.cella = static_cast<int32_t>(k);
  o.celle = 1;
  o.da = o.a = static_cast<int64_t>(k) * 50;
  return o;
}

}  // namespace

std::vector<oggetto_grafico> oggetti_grafico(const dati_grafico& d, const std::vector<curva_ricostruita>& curve,
                                             const std::vector<int>& stazioni) {
  const indice_provenienze provenienze(d.provenienze);
  std::vector<oggetto_grafico> r;

  for (int i : stazioni) {
    const voce& v = d.voci[static_cast<std::size_t>(i)];
    oggetto_grafico o;
    o.genere = genere_oggetto::stazione;
    o.voce = i;
    o.da = o.a = v.posizione;
    o.etichetta = etichetta_stazione(v);
    o.valori = utf8(v.nome) + ": " + metri(v.posizione) + ", zona " + intero(v.inizio) + "–" + intero(v.fine) +
               " m, tipo " + std::to_string(v.tipo) + (v.orario > 0 ? ", orario " + ora(v.orario) : "");
    o.record = provenienze.trova(genere_provenienza::stazione, i);
    // The marker's cell: where the compiler put it, just before the zone's end.
    for (std::size_t k = 0; k < d.celle.size(); ++k) {
      if (d.celle[k].tipo == cella_stazione && d.celle[k].dato1 == i) {
        o.cella = static_cast<int32_t>(k);
        o.celle = 1;
      }
    }
    r.push_back(std::move(o));
  }

  std::vector<std::size_t> inizi_rallentamento;
  for (std::size_t k = 0; k < d.celle.size(); ++k) {
    const cella& c = d.celle[k];
    switch (c.tipo) {
      case cella_segnale: {
        oggetto_grafico o = su_cella(genere_oggetto::segnale, k);
        o.etichetta = etichetta_segnale(c);
        o.valori = testo_valori_segnale(c);
        o.record = provenienze.trova(genere_provenienza::segnale, static_cast<int64_t>(k));
        r.push_back(std::move(o));
        break;
      }
      case cella_indicatore_v_max: {
        oggetto_grafico o = su_cella(genere_oggetto::cartello_vmax, k);
        o.etichetta = etichetta_vmax(c);
        o.valori = "velocità a/b/c " + o.etichetta;
        o.record = provenienze.trova(genere_provenienza::cartello_vmax, static_cast<int64_t>(k));
        r.push_back(std::move(o));
        break;
      }
      case cella_cartello: {
        oggetto_grafico o = su_cella(genere_oggetto::cartello, k);
        o.voce = c.dato1;
        o.etichetta = testo_cartello(d, c);
        o.valori = o.etichetta;
        o.record = provenienze.trova(genere_provenienza::cartello, static_cast<int64_t>(k));
        r.push_back(std::move(o));
        break;
      }
      case cella_avviso_rallentamento:
      case cella_preavviso: {
        const bool avviso = c.tipo == cella_avviso_rallentamento;
        oggetto_grafico o = su_cella(avviso ? genere_oggetto::avviso : genere_oggetto::preavviso, k);
        o.valore = c.dato1;
        o.etichetta = (avviso ? "A " : "P") + std::to_string(c.dato1);
        o.valori = avviso ? "avviso di rallentamento a " + std::to_string(c.dato1) + " km/h"
                          : "preavviso " + std::to_string(c.dato1);
        // The slowdown it announces: the first start after it.
        for (std::size_t e = k + 1; e < d.celle.size() && e <= k + 60; ++e) {
          if (d.celle[e].tipo == cella_inizio_rallentamento) {
            o.record = provenienze.trova(genere_provenienza::rallentamento, static_cast<int64_t>(e));
            break;
          }
        }
        r.push_back(std::move(o));
        break;
      }
      case cella_abbattimento:
      case cella_abbattimento_zero: {
        oggetto_grafico o = su_cella(genere_oggetto::abbattimento, k);
        o.valore = c.tipo == cella_abbattimento ? c.dato1 : 0;
        o.etichetta = "abbattimento " + std::to_string(c.tipo == cella_abbattimento ? c.dato1 : 0);
        o.valori = o.etichetta;
        o.record = provenienze.trova(genere_provenienza::abbattimento, static_cast<int64_t>(k));
        r.push_back(std::move(o));
        break;
      }
      default:
        break;
    }
  }

  for (const tratto_rallentamento& t : rallentamenti(d.celle)) {
    const cella& c = d.celle[t.inizio];
    oggetto_grafico o = su_cella(genere_oggetto::rallentamento, t.inizio);
    o.a = static_cast<int64_t>(t.fine) * 50;
    o.celle = static_cast<int32_t>(t.fine - t.inizio + 1);
    o.valore = c.dato1;
    o.etichetta = std::to_string(c.dato1) + " km/h";
    o.valori = o.etichetta + " da " + metri(o.da) + " a " + metri(o.a) + ", f_tt " + std::to_string(c.dato3);
    o.record = provenienze.trova(genere_provenienza::rallentamento, static_cast<int64_t>(t.inizio));
    r.push_back(std::move(o));
  }

  for (const curva_ricostruita& c : curve) {
    oggetto_grafico o;
    o.genere = genere_oggetto::curva;
    o.da = c.inizio;
    o.a = static_cast<int64_t>(c.inizio) + c.lunghezza;
    o.valore = c.sinistra ? -c.classe : c.classe;
    o.etichetta = etichetta_curva(c);
    o.valori = "curva " + nome_curva(c) + " da " + metri(c.inizio) + ", " + metri(c.lunghezza) + ", raggio " +
               num(std::nearbyint(raggio(c))) + " m";
    // The record written within a cell of where the plan starts turning.
    o.record = provenienze.fino_a(genere_provenienza::curva, c.inizio + 50, c.inizio - 50);
    r.push_back(std::move(o));
  }

  for (const tratto_montagna& t : montagne(d.celle)) {
    oggetto_grafico o;
    o.genere = genere_oggetto::montagna;
    o.cella = static_cast<int32_t>(t.primo);
    o.celle = static_cast<int32_t>(t.fine - t.primo);
    o.da = static_cast<int64_t>(t.primo) * 50;
    o.a = static_cast<int64_t>(t.fine) * 50;
    o.valore = t.tipo;
    o.etichetta = std::string(t.galleria ? "galleria" : "montagna") + " (tipo " + std::to_string(t.tipo) + ")";
    o.valori = o.etichetta + " da " + metri(o.da) + " a " + metri(o.a);
    o.record = provenienze.trova(genere_provenienza::montagna, static_cast<int64_t>(t.primo));
    r.push_back(std::move(o));
  }

  tratti_profilo(
      r, d.celle, celle_con_pendenza(d.celle), genere_oggetto::pendenza,
      [](const cella& c) { return static_cast<double>(c.pendenza) - 100; },
      [](double v) { return "pendenza " + num(v) + " per mille"; }, provenienze, genere_provenienza::pendenza);
  tratti_profilo(
      r, d.celle, d.celle.size(), genere_oggetto::velocita, [](const cella& c) { return c.velocita_max * 5.0; },
      [](double v) { return "velocità massima " + num(v) + " km/h"; }, provenienze, genere_provenienza::velocita);
  tratti_profilo(
      r, d.celle, d.celle.size(), genere_oggetto::aderenza,
      [](const cella& c) { return static_cast<double>(c.aderenza); },
      [](double v) { return "aderenza " + num(v); }, provenienze, genere_provenienza::aderenza);
  return r;
}

}  // namespace scenario
