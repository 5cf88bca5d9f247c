// The built-in scenario must compile without a fault and without losing an
// object: the cells that the compiler gives the objects of the two built-in
// descriptions, computed here from the written files, never meet.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "compiler/compilazione.h"
#include "compiler/modello.h"
#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "common/nomi.h"
#include "tests/righe_prova.h"

namespace scenario {
namespace {

using prova::intero;

int64_t arrotondato(double q) { return static_cast<int64_t>(std::nearbyint(q)); }

// A point object at position p: signals, maximum-speed signs, text signs.
int64_t cella_punto(int p) { return arrotondato(p / 50.0 + 1); }

struct oggetto {
  std::string che;
  int posizione;
};

struct scenario_incorporato {
  std::vector<std::string> linea = prova::righe_scritte(file_scenario::descrizione_linea);
  std::vector<std::string> treno = prova::righe_scritte(file_scenario::descrizione_treno);
  int lunghezza = intero(prova::record(linea, "lunghezza percorso").at(0).at(1));
  int64_t ultima_cella = arrotondato((lunghezza + 7000) / 50.0);

  // Every cell that receives an object, with what lies there.
  std::map<int64_t, std::vector<oggetto>> celle() const {
    std::map<int64_t, std::vector<oggetto>> c;
    for (const auto& r : prova::record(linea, "cartello_indicatore")) {
      c[cella_punto(intero(r[1]))].push_back({"cartello " + r[2], intero(r[1])});
    }
    for (const auto& r : prova::record(linea, "indicatori_vmax")) {
      c[cella_punto(intero(r[1]))].push_back({"velocita massima", intero(r[1])});
    }
    for (int64_t k : celle_montagna()) c[k].push_back({"montagna", static_cast<int>(k * 50)});
    for (const auto& r : prova::record(treno, "segnale")) {
      c[cella_punto(intero(r[1]))].push_back({"segnale", intero(r[1])});
    }
    for (const auto& [k, p] : celle_stazioni()) c[k].push_back({"stazione", p});
    return c;
  }

  // The mountain markers: every fourth cell of a span of kind above 10.
  std::vector<int64_t> celle_montagna() const {
    std::vector<int64_t> k;
    for (const auto& r : prova::record(linea, "montagna")) {
      if (intero(r[3]) <= 10) continue;
      const int64_t da = arrotondato(intero(r[1]) / 50.0), a = arrotondato(intero(r[2]) / 50.0 - 1);
      for (int64_t c = da, n = 1; c <= a; ++c, ++n) {
        if (n % 4 == 0) k.push_back(c);
      }
    }
    return k;
  }

  // The station markers (kinds below 25), by cell, with the station position.
  std::map<int64_t, int> celle_stazioni() const {
    std::map<int64_t, int> k;
    for (const auto& r : prova::record(treno, "stazione")) {
      const int p = intero(r[1]), tipo = intero(r[2]), l = intero(r[3]), terzo = intero(r[6]);
      if (tipo >= 25) continue;
      int fine = p + l / 2 + (terzo != 0 ? 50 : 0);
      if (tipo == 5 || tipo == 6) fine = p + 150;
      if (tipo == 7 || tipo == 8) fine = p + l;
      k[arrotondato(fine / 50.0 - 1)] = p;
    }
    return k;
  }
};

TEST(CelleScenario, LeCelleCalcolateSonoQuelleAttese) {
  const scenario_incorporato s;
  EXPECT_EQ(s.ultima_cella, 2226);
  std::vector<int64_t> stazioni;
  for (const auto& [k, p] : s.celle_stazioni()) stazioni.push_back(k);
  EXPECT_EQ(stazioni, (std::vector<int64_t>{5, 386, 482, 721}));
  std::vector<int64_t> montagna;
  for (int64_t k = 1824; k <= 1864; k += 4) montagna.push_back(k);
  EXPECT_EQ(s.celle_montagna(), montagna);
  std::vector<int64_t> segnali;
  for (const auto& r : prova::record(s.treno, "segnale")) segnali.push_back(cella_punto(intero(r[1])));
  EXPECT_EQ(segnali, (std::vector<int64_t>{121, 145, 170, 339, 364, 434, 458, 609, 633, 657, 692}));
}

TEST(CelleScenario, NessunaCellaHaDueOggetti) {
  const scenario_incorporato s;
  const auto celle = s.celle();
  std::size_t oggetti = 0;
  for (const auto& [k, lista] : celle) {
    oggetti += lista.size();
    if (lista.size() > 1) {
      std::string chi;
      for (const oggetto& o : lista) chi += " [" + o.che + " a " + std::to_string(o.posizione) + "]";
      ADD_FAILURE() << "cella " << k << ":" << chi;
    }
    // Cells 0 and 1 are reserved, and the last three lie beyond the profiles.
    EXPECT_GE(k, 2);
    EXPECT_LE(k, s.ultima_cella - 3);
  }
  EXPECT_EQ(oggetti, 56u + 12u + 11u + 11u + 4u);
}

TEST(CelleScenario, OgniRecordStaNelTracciatoEStazioniECartelliNelleVoci) {
  const scenario_incorporato s;
  // A record beyond the track stops the reading with a fault.
  auto dentro = [&](int p, int margine) { return (p + margine) / 50.0 <= static_cast<double>(s.ultima_cella); };
  for (const char* parola : {"curva", "pendenza", "montagna", "indicatori_vmax", "cartello_indicatore"}) {
    for (const auto& r : prova::record(s.linea, parola)) EXPECT_TRUE(dentro(intero(r[1]), 100)) << r[0] << " " << r[1];
  }
  for (const char* parola : {"velocita", "aderenza", "segnale"}) {
    for (const auto& r : prova::record(s.treno, parola)) EXPECT_TRUE(dentro(intero(r[1]), 100)) << r[0] << " " << r[1];
  }
  const auto stazioni = prova::record(s.treno, "stazione");
  for (const auto& r : stazioni) EXPECT_TRUE(dentro(intero(r[1]), 800)) << r[1];
  // The four approach marks of a signal lie up to 8 cells before it.
  for (const auto& r : prova::record(s.treno, "segnale")) EXPECT_GE(cella_punto(intero(r[1])) - 8, 0) << r[1];
  // Stations fill the item table from entry 1, sign texts from entry 80 down;
  // the station reader stops two entries short of the signs.
  const std::size_t cartelli = prova::record(s.linea, "cartello_indicatore").size();
  EXPECT_LE(stazioni.size(), 80 - cartelli - 2);
}

TEST(CelleScenario, LaCompilazioneNonRegistraGuastiENonPerdeOggetti) {
  piattaforma_memoria p;
  prova::scrivi_testi(p);
  const risultato_compilazione r = compila(p, identita_incorporata(), true);
  ASSERT_FALSE(r.rapporto.has_value());
  const modello& m = r.m;
  EXPECT_EQ(m.codice_errore, 0);
  for (const guasto& g : m.guasti) ADD_FAILURE() << "codice " << g.codice << " a " << g.posizione;

  // Every object the descriptions place is on the track, where it was put.
  const scenario_incorporato s;
  std::map<int, int> per_tipo;
  for (const cella& c : m.celle) ++per_tipo[c.tipo];
  EXPECT_EQ(per_tipo[cella_cartello], 56);
  EXPECT_EQ(per_tipo[cella_indicatore_v_max], 12);
  EXPECT_EQ(per_tipo[cella_segnale], 11);
  EXPECT_EQ(per_tipo[cella_stazione], 4);
  EXPECT_EQ(per_tipo[cella_montagna], 11);
  for (const auto& [k, lista] : s.celle()) {
    ASSERT_LT(k, static_cast<int64_t>(m.celle.size()));
    const uint8_t tipo = m.celle[static_cast<std::size_t>(k)].tipo;
    const std::string& che = lista.front().che;
    const uint8_t atteso = che.rfind("cartello", 0) == 0 ? cella_cartello
                           : che == "velocita massima"   ? cella_indicatore_v_max
                           : che == "segnale"            ? cella_segnale
                           : che == "stazione"           ? cella_stazione
                                                         : cella_montagna;
    EXPECT_EQ(tipo, atteso) << "cella " << k << ": " << che;
  }
}

}  // namespace
}  // namespace scenario
