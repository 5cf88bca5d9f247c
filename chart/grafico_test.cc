#include "chart/grafico.h"
#include "chart/etichette.h"
#include "reader/posizioni_scritte.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/tracciato.h"
#include "platform/cp1252.h"
#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "common/nomi.h"
#include "common/righe.h"
#include "tests/prova.h"
#include "tests/svg_prova.h"
#include "texts/testi.h"
#include "compiler/compila_testi.h"
#include "reader/curve.h"
#include "chart/svg.h"

namespace scenario {
namespace {

using prova::cartella_temporanea;
using prova::leggi_file;
using prova::scrivi_file;

using prova::elemento;
using prova::elementi;
using prova::con_classe;

// ---------------------------------------------------------------------------

std::string fixture(const std::string& nome) { return std::string(SCENARIO_FIXTURES) + "/autori/" + nome; }

esito_compilazione compila(const std::string& linea, const std::string& treno) {
  piattaforma_memoria p;
  esito_compilazione e = compila_testi(p, identita_incorporata(), linea, treno, true);
  EXPECT_NE(e.stato, kStatoRapporto);
  return e;
}

const esito_compilazione& incorporato() {
  static const esito_compilazione e = [] {
    piattaforma_memoria p;
    return compila(testo_righe(righe_linea(p)), testo_righe(righe_treno(p)));
  }();
  return e;
}


constexpr double kCorpo = 10;

// Rotated labels of one row are drawn only a glyph's height apart.
void distanziate(const std::vector<elemento>& etichette, const std::string& cosa) {
  for (std::size_t i = 1; i < etichette.size(); ++i) {
    EXPECT_GE(etichette[i].numero("x") - etichette[i - 1].numero("x"), kCorpo)
        << cosa << ": " << etichette[i - 1].testo << " / " << etichette[i].testo;
  }
}

// ---------------------------------------------------------------------------

TEST(GraficoIncorporato, UnaEtichettaPerStazioneConNomeEOrario) {
  const modello& m = incorporato().m;
  const dati_grafico d = dati_dal_modello(m);
  const std::vector<int> stazioni = voci_stazioni(d);
  ASSERT_EQ(stazioni, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  const auto v = elementi(disegna_grafico(d, {}).svg);
  const auto etichette = con_classe(v, "etichetta-stazione");
  ASSERT_EQ(etichette.size(), 10u);
  const struct {
    const char* nome;
    const char* ora;
    int32_t m;
  } attese[] = {{"VELMO", "06:40:00", 0},        {"ZELMORIO PAESE", "06:44:00", 3250}, {"TASCAVIA", "06:50:00", 8250},
                {"ORBENTE", "06:54:00", 11100},  {"VASCOLINO", "06:59:00", 15650},     {"PRIMELLA", "07:03:00", 19200},
                {"CORVAGNO", "07:07:30", 22700}, {"P.M. LUSTRIGO", "07:12:00", 23950}, {"FENARDO", "", 32550},
                {"VERDAL", "07:23:00", 35800}};
  for (std::size_t i = 0; i < etichette.size(); ++i) {
    const std::string atteso = std::string(attese[i].nome) + (*attese[i].ora ? std::string(" ") + attese[i].ora : "");
    EXPECT_EQ(etichette[i].testo, atteso);
    EXPECT_EQ(etichette[i]["id"], "stazione-" + std::to_string(i + 1));
    EXPECT_EQ(etichette[i]["data-m"], std::to_string(attese[i].m));
  }
  distanziate(etichette, "stazioni");
  // Each station also has its zone, its mark on the strip and its dot on the
  // plan, with a name there too.
  EXPECT_EQ(con_classe(v, "zona-stazione").size(), 10u);
  EXPECT_EQ(con_classe(v, "stazione").size(), 10u);
  EXPECT_EQ(con_classe(v, "stazione-pianta").size(), 10u);
  EXPECT_EQ(con_classe(v, "etichetta-pianta").size(), 10u);
}

// Each profile has a step exactly where the cells change value, with the new
// value, and nowhere else.
TEST(GraficoIncorporato, GradiniDoveCambianoLeCelle) {
  const modello& m = incorporato().m;
  const auto v = elementi(disegna_grafico(dati_dal_modello(m), {}).svg);
  const struct {
    const char* classe;
    double (*valore)(const cella&);
    std::size_t celle;  // cells with a value
  } profili[] = {
      {"gradino-velocita", [](const cella& c) { return c.velocita_max * 5.0; }, m.celle.size()},
      {"gradino-aderenza", [](const cella& c) { return static_cast<double>(c.aderenza); }, m.celle.size()},
      // The compiler leaves the gradient of the last three cells unset.
      {"gradino-pendenza", [](const cella& c) { return c.pendenza - 100.0; }, m.celle.size() - 3},
  };
  for (const auto& p : profili) {
    SCOPED_TRACE(p.classe);
    std::map<int64_t, double> attesi;
    for (std::size_t k = 1; k < p.celle; ++k) {
      if (p.valore(m.celle[k]) != p.valore(m.celle[k - 1])) attesi[static_cast<int64_t>(k) * 50] = p.valore(m.celle[k]);
    }
    std::map<int64_t, double> disegnati;
    for (const elemento& e : con_classe(v, p.classe)) disegnati[std::stoll(e["data-m"])] = e.numero("data-valore");
    EXPECT_EQ(disegnati, attesi);
  }
  // The speed profile of the train description, as the cells hold it.
  std::vector<double> velocita;
  for (const elemento& e : con_classe(v, "gradino-velocita")) velocita.push_back(e.numero("data-valore"));
  ASSERT_GE(velocita.size(), 14u);
  EXPECT_EQ(std::vector<double>(velocita.begin(), velocita.begin() + 14),
            (std::vector<double>{110, 130, 30, 135, 120, 60, 30, 130, 30, 130, 30, 110, 60, 135}));
}

TEST(GraficoIncorporato, CartelliSegnaliCurveEGalleria) {
  const modello& m = incorporato().m;
  const auto v = elementi(disegna_grafico(dati_dal_modello(m), {}).svg);
  std::map<uint8_t, std::set<std::string>> posizioni;
  for (std::size_t k = 0; k < m.celle.size(); ++k) posizioni[m.celle[k].tipo].insert(std::to_string(k * 50));
  auto metri = [](const std::vector<elemento>& x) {
    std::set<std::string> r;
    for (const elemento& e : x) r.insert(e["data-m"]);
    return r;
  };
  EXPECT_EQ(metri(con_classe(v, "cartello-vmax")), posizioni[cella_indicatore_v_max]);
  EXPECT_EQ(posizioni[cella_indicatore_v_max].size(), 12u);
  EXPECT_EQ(metri(con_classe(v, "segnale")), posizioni[cella_segnale]);
  EXPECT_EQ(posizioni[cella_segnale].size(), 11u);
  EXPECT_EQ(metri(con_classe(v, "segnale-pianta")), posizioni[cella_segnale]);
  EXPECT_EQ(metri(con_classe(v, "cartello")), posizioni[cella_cartello]);
  EXPECT_EQ(posizioni[cella_cartello].size(), 56u);

  // The first speed sign, "90, 110, 110" at 700 m; the first signals: at
  // 6000 m aspects 3, 1, 0 of the "s" group and sx 1 (its time is not kept),
  // at 7200 m aspects 2, 3, 0, sx 2 and time 230.
  const auto vmax = con_classe(v, "etichetta-vmax");
  ASSERT_FALSE(vmax.empty());
  EXPECT_EQ(vmax.front().testo, "90/110/110");
  const auto segnali = con_classe(v, "etichetta-segnale");
  ASSERT_GE(segnali.size(), 2u);
  // Labelled with the values written: sx s1 s2 s3 / dx d1 d2 d3, the time.
  EXPECT_EQ(segnali[0].testo, "1 3 1 0 / 0 0 0 0");
  EXPECT_EQ(segnali[1].testo, "2 2 3 0 / 0 0 0 0 · 230");
  distanziate(segnali, "segnali");

  const auto curve = con_classe(v, "curva");
  EXPECT_EQ(curve.size(), 39u);
  ASSERT_FALSE(curve.empty());
  EXPECT_EQ(curve.front()["data-inizio"], "650");
  EXPECT_EQ(curve.front()["data-lunghezza"], "600");
  EXPECT_EQ(curve.front()["data-classe"], "5");
  EXPECT_EQ(curve.front()["data-verso"], "d");

  const auto gallerie = con_classe(v, "galleria");
  ASSERT_EQ(gallerie.size(), 1u);
  EXPECT_EQ(gallerie[0]["data-inizio"], "91050");
  EXPECT_EQ(gallerie[0]["data-fine"], "93400");
  EXPECT_TRUE(con_classe(v, "montagna").empty());
  EXPECT_EQ(con_classe(v, "galleria-pianta").size(), 1u);

  // The sign texts: a place name gives way only to another place name.
  std::map<std::string, std::string> testo_a;  // by metre
  for (std::size_t k = 0; k < m.celle.size(); ++k) {
    if (m.celle[k].tipo == cella_cartello) {
      testo_a[std::to_string(k * 50)] = cp1252_in_utf8(m.voci[static_cast<std::size_t>(m.celle[k].dato1)].nome);
    }
  }
  std::map<std::string, double> x_di;  // metre to x, of every sign
  for (const elemento& e : con_classe(v, "cartello")) x_di[e["data-m"]] = std::stod(e["d"].substr(1));
  std::vector<double> x_posti_scritti;
  std::set<std::string> scritti;
  const auto cartelli = con_classe(v, "etichetta-cartello");
  for (const elemento& e : cartelli) {
    // Whole, or cut short with "…" to fit the strip.
    const std::string& intero = testo_a[e["data-m"]];
    if (e.testo != intero) {
      const std::string troncato = e.testo.substr(0, e.testo.size() - std::string("…").size());
      EXPECT_EQ(troncato + "…", e.testo);
      EXPECT_EQ(intero.rfind(troncato, 0), 0u) << e.testo;
      EXPECT_GE(troncato.size(), 30u);
    }
    scritti.insert(e["data-m"]);
    if (e.testo.rfind("(PL", 0) != 0) x_posti_scritti.push_back(x_di[e["data-m"]]);
  }
  std::vector<double> x;
  for (const elemento& e : cartelli) x.push_back(e.numero("x"));
  std::sort(x.begin(), x.end());
  for (std::size_t i = 1; i < x.size(); ++i) EXPECT_GE(x[i] - x[i - 1], kCorpo);
  for (const auto& [metro, testo] : testo_a) {
    if (testo.rfind("(PL", 0) == 0 || scritti.count(metro)) continue;
    bool vicino = false;
    for (double xp : x_posti_scritti) vicino |= std::fabs(xp - x_di[metro]) < kCorpo + 1;
    EXPECT_TRUE(vicino) << testo << " a " << metro << " m omesso senza un altro nome accanto";
  }
}

TEST(GraficoIncorporato, LaLegendaDiceLeEtichetteOmesse) {
  const grafico g = disegna_grafico(dati_dal_modello(incorporato().m), {});
  const auto v = elementi(g.svg);
  std::string nota;
  for (const elemento& e : v) {
    if (e["id"] == "nota-etichette") nota = e.testo;
  }
  int omesse = 0;
  for (const auto& [tipo, n] : g.omesse) {
    omesse += n;
    EXPECT_NE(nota.find(std::to_string(n) + " " + tipo), std::string::npos) << nota;
  }
  const int cartelli = static_cast<int>(con_classe(v, "etichetta-cartello").size());
  EXPECT_GT(omesse, 0);
  EXPECT_LT(cartelli, 56);
  for (const auto& [tipo, n] : g.omesse) {
    if (tipo == "cartelli") {
      EXPECT_EQ(n + cartelli, 56);
    }
  }
  // A shorter stretch has room for every label.
  const grafico corto = disegna_grafico(dati_dal_modello(incorporato().m), {20000, 30000});
  EXPECT_TRUE(corto.omesse.empty());
  EXPECT_NE(corto.svg.find("Tutte le etichette sono mostrate."), std::string::npos);
}

TEST(GraficoIncorporato, UnTrattoMostraSoloCioCheStaDentro) {
  const modello& m = incorporato().m;
  const grafico g = disegna_grafico(dati_dal_modello(m), {20000, 40000});
  EXPECT_EQ(g.da, 20000);
  EXPECT_EQ(g.a, 40000);
  const auto v = elementi(g.svg);
  std::vector<std::string> stazioni;
  for (const elemento& e : con_classe(v, "etichetta-stazione")) stazioni.push_back(e["data-m"]);
  EXPECT_EQ(stazioni, (std::vector<std::string>{"22700", "23950", "32550", "35800"}));
  const elemento* fondo = nullptr;
  for (const elemento& e : v) {
    if (e["class"] == "fondo" && !fondo) fondo = &e;
  }
  ASSERT_NE(fondo, nullptr);
  const double x0 = fondo->numero("x"), x1 = x0 + fondo->numero("width");
  for (const char* classe : {"gradino-velocita", "gradino-pendenza", "segnale", "cartello-vmax", "cartello",
                             "etichetta-stazione", "curva"}) {
    const auto x = con_classe(v, classe);
    EXPECT_FALSE(x.empty()) << classe;
    for (const elemento& e : x) {
      if (!e["data-m"].empty()) {
        const double metro = e.numero("data-m");
        EXPECT_TRUE(metro >= 20000 && metro <= 40000) << classe << " " << metro;
      }
      for (const char* a : {"x", "x1"}) {
        if (!e[a].empty()) {
          EXPECT_TRUE(e.numero(a) >= x0 - 1 && e.numero(a) <= x1 + kCorpo) << classe << " " << e[a];
        }
      }
    }
  }
  // The first step inside the stretch is the record "23650 30", and its x
  // is where 23650 falls between the ends.
  const auto gradini = con_classe(v, "gradino-velocita");
  ASSERT_FALSE(gradini.empty());
  EXPECT_EQ(gradini.front()["data-m"], "23650");
  EXPECT_EQ(gradini.front()["data-valore"], "30");
  EXPECT_NEAR(gradini.front().numero("x1"), x0 + (23650.0 - 20000) / 20000 * (x1 - x0), 0.06);
}

// A slowdown with its warning, its four pre-warnings and the markers the
// track completion puts through it.
TEST(Grafico, RallentamentoConAvvisoEPreavvisi) {
  const esito_compilazione e = compila(leggi_file(fixture("linea.txt")), leggi_file(fixture("treno.txt")));
  ASSERT_EQ(e.stato, kStatoPulito);
  const grafico g = disegna_grafico(dati_dal_modello(e.m), {4000, 7000});
  EXPECT_TRUE(g.omesse.empty());
  const auto v = elementi(g.svg);
  const auto tratti = con_classe(v, "rallentamento");
  ASSERT_EQ(tratti.size(), 1u);
  EXPECT_EQ(tratti[0]["data-inizio"], "6050");
  EXPECT_EQ(tratti[0]["data-fine"], "6550");
  EXPECT_EQ(tratti[0]["data-kmh"], "60");
  const auto avvisi = con_classe(v, "avviso");
  ASSERT_EQ(avvisi.size(), 1u);
  EXPECT_EQ(avvisi[0]["data-m"], "4850");
  std::vector<std::pair<std::string, std::string>> preavvisi;
  for (const elemento& x : con_classe(v, "preavviso")) preavvisi.emplace_back(x["data-m"], x["data-n"]);
  EXPECT_EQ(preavvisi, (std::vector<std::pair<std::string, std::string>>{
                           {"4650", "4"}, {"4700", "3"}, {"4750", "2"}, {"4800", "1"}}));
  std::vector<std::string> scritte;
  for (const elemento& x : con_classe(v, "etichetta-avviso")) scritte.push_back(x.testo);
  EXPECT_EQ(scritte, (std::vector<std::string>{"P4", "P3", "P2", "P1", "A 60"}));
  std::vector<std::string> abbattimenti;
  for (const elemento& x : con_classe(v, "abbattimento")) abbattimenti.push_back(x["data-m"]);
  EXPECT_EQ(abbattimenti, (std::vector<std::string>{"5150", "5500", "5800", "6450"}));
}

TEST(Grafico, TrattiInservibili) {
  const dati_grafico d = dati_dal_modello(incorporato().m);
  const int64_t fine = fine_tracciato(d);
  EXPECT_EQ(fine, 111300);
  const struct {
    std::optional<int64_t> da, a;
  } casi[] = {{-1, {}}, {fine, {}}, {fine + 50, {}}, {5000, 5000}, {6000, 5000}, {{}, 0}, {{}, -10}};
  for (const auto& c : casi) {
    EXPECT_THROW(disegna_grafico(d, {c.da, c.a}), errore_grafico)
        << (c.da ? *c.da : -999) << " " << (c.a ? *c.a : -999);
  }
  // An end past the track is the end of the track.
  EXPECT_EQ(disegna_grafico(d, {fine - 100, int64_t{1} << 40}).a, fine);
  EXPECT_THROW(disegna_grafico(dati_grafico{}, {}), errore_grafico);
}

// Texts that XML would take as markup, control bytes, and a geometry with
// holes and values that are not finite: the page stays well formed and
// every number in it is finite.
TEST(Grafico, TestiEValoriOstili) {
  dati_grafico d = dati_dal_modello(incorporato().m);
  d.voci[1].nome = "A&B <C> \"D\" 'E' \x01\x1F\xE8";
  d.voci[80].nome = "(</text>)(&amp;)";
  d.voci[85].nome = "<linea>";
  geometria g = tabella_piano(incorporato().m.piano);
  for (std::size_t j = 5000; j < 5100; ++j) g.x[j] = numero_etichettato{};
  g.y[7000] = numero_etichettato::da_reale(std::numeric_limits<double>::quiet_NaN());
  g.x[8000] = numero_etichettato::da_reale(std::numeric_limits<double>::infinity());
  g.x[9000] = numero_etichettato::da_reale(1e300);
  d.piano = piano_da_geometria(std::move(g));
  for (std::size_t k = 100; k < 110; ++k) {
    d.celle[k].tipo = cella_cartello;
    d.celle[k].dato1 = static_cast<int16_t>(k < 105 ? -3 : 500);  // no such entry
  }
  const std::string svg = disegna_grafico(d, {}).svg;
  for (const char* vietato : {"nan", "inf", "e+"}) EXPECT_EQ(svg.find(vietato), std::string::npos) << vietato;
  const auto v = elementi(svg);
  const auto stazioni = con_classe(v, "etichetta-stazione");
  ASSERT_FALSE(stazioni.empty());
  EXPECT_EQ(stazioni[0].testo.rfind("A&B <C> \"D\" 'E' ??è 06:", 0), 0u) << stazioni[0].testo;
  bool testo_cartello = false;
  for (const elemento& e : con_classe(v, "etichetta-cartello")) testo_cartello |= e.testo == "(</text>)(&amp;)";
  EXPECT_TRUE(testo_cartello);
  EXPECT_EQ(svg::num(std::numeric_limits<double>::quiet_NaN()), "0");
  EXPECT_EQ(svg::num(-0.04), "0");
  EXPECT_EQ(svg::num(12.25), "12.2");
  EXPECT_EQ(svg::num(3), "3");
}

// ---------------------------------------------------------------------------
// The command.

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// The texts of the chart in the author's terms, for any view of its data.
TEST(Etichette, SegnaleConIValoriScrittiEPosizioneScritta) {
  cella c;
  c.tipo = cella_segnale;
  // segnale, 6000, sx 2, s 2 3 1, rapp 0, dx 1, d 4 0 5, tempo 230
  c.dato1 = 24;
  c.dato2 = 30;
  c.dato3 = 15;
  c.dato4 = 7;
  c.tempo_segnale = 230;
  EXPECT_EQ(etichetta_segnale(c), "2 2 3 1 / 1 4 0 5 · 230");
  EXPECT_EQ(titolo_oggetto(c, 121).rfind("cella 121 (6050 m), scritto: segnale, posizione = 6000 m: 2 2 3 1 / 1 4 0 5", 0), 0u)
      << titolo_oggetto(c, 121);
  c.dato4 = 13;  // rapp 1
  EXPECT_EQ(etichetta_segnale(c), "1 2 3 1 / 0 4 0 5 · rapp 1 · 230");
  c.dato1 = 130;  // no plain split: the packed codes
  EXPECT_EQ(etichetta_segnale(c), "130/30/15 · 13 · 230");

  // A slowdown at 9000 m: start on cell 181, its warning 1200 m before on
  // cell 157, its pre-warnings on cells 156 to 153.
  cella r;
  r.tipo = cella_inizio_rallentamento;
  EXPECT_EQ(posizione_scritta_di(r, 181)->metri, 9000);
  r.tipo = cella_avviso_rallentamento;
  EXPECT_EQ(posizione_scritta_di(r, 157)->metri, 9000);
  r.tipo = cella_preavviso;
  for (int16_t n = 1; n <= 4; ++n) {
    r.dato1 = n;
    EXPECT_EQ(posizione_scritta_di(r, static_cast<std::size_t>(156 - (n - 1)))->metri, 9000) << n;
  }
  r.tipo = cella_stazione;  // a zone ending at 8300 m: the marker on cell 165
  EXPECT_EQ(posizione_scritta_di(r, 165)->metri, 8300);
  r.tipo = cella_libera;
  EXPECT_FALSE(posizione_scritta_di(r, 165));
}

}  // namespace
}  // namespace scenario
