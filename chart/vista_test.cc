#include "chart/vista.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "chart/oggetti.h"
#include "common/identita.h"
#include "common/righe.h"
#include "compiler/compila_testi.h"
#include "compiler/diagnostica.h"
#include "compiler/voci.h"
#include "platform/cp1252.h"
#include "platform/piattaforma_memoria.h"
#include "texts/testi.h"

namespace scenario {
namespace {

using json = nlohmann::json;

struct compilato {
  std::string linea, treno;
  esito_compilazione e;
};

compilato compila(std::string linea, std::string treno) {
  piattaforma_memoria p;
  compilato c{linea, treno, compila_testi(p, identita_incorporata(), linea, treno, true)};
  EXPECT_NE(c.e.stato, kStatoRapporto);
  return c;
}

const compilato& incorporato() {
  static const compilato c = [] {
    piattaforma_memoria p;
    return compila(testo_righe(righe_linea(p)), testo_righe(righe_treno(p)));
  }();
  return c;
}

// Line n (from 1) of a description.
std::string riga_di(const std::string& testo, int n) {
  std::istringstream in(testo);
  std::string r;
  for (int i = 0; i < n && std::getline(in, r);) ++i;
  return r;
}

struct oggetto {
  std::string genere, etichetta, valori;
  int64_t da = 0, a = 0;
  int cella = -1, file = 0, riga = 0;
  json scritto;
};

std::vector<oggetto> oggetti_dei_dati(const json& d) {
  std::map<std::string, std::size_t> campo;
  for (std::size_t i = 0; i < d["campi"].size(); ++i) campo[d["campi"][i]] = i;
  std::vector<oggetto> r;
  for (const json& o : d["oggetti"]) {
    oggetto x;
    x.genere = o[campo["genere"]];
    x.etichetta = o[campo["etichetta"]];
    x.valori = o[campo["valori"]];
    x.da = o[campo["da"]];
    x.a = o[campo["a"]];
    x.cella = o[campo["cella"]];
    x.file = o[campo["file"]];
    x.riga = o[campo["riga"]];
    x.scritto = o[campo["scritto"]];
    r.push_back(x);
  }
  return r;
}

json dati(const compilato& c, const nomi_sorgenti& nomi = {"linea.txt", "treno.txt"}) {
  opzioni_vista o;
  o.file_linea = nomi.linea;
  o.file_treno = nomi.treno;
  o.diagnostica = diagnosi_del_modello(c.e.m, nomi);
  return json::parse(dati_vista(dati_dal_modello(c.e.m), o));
}

// Each object from a compile leads to its record: the line there is a record
// of the object's kind, written at the object's written position.
TEST(Vista, OgniOggettoPortaAlSuoRecord) {
  const compilato& c = incorporato();
  const json d = dati(c);
  EXPECT_EQ(d["file"], json::array({"", "linea.txt", "treno.txt"}));
  const std::map<std::string, std::string> parola = {
      {"stazione", "stazione"}, {"segnale", "segnale"},   {"rallentamento", "rallentamento"},
      {"curva", "curva"},       {"pendenza", "pendenza"}, {"velocita", "velocita"},
      {"aderenza", "aderenza"}, {"cartello", "cartello"}, {"cartello_vmax", "indicatori_v"},
      {"montagna", "montagna"}};
  std::map<std::string, int> con_record;
  for (const oggetto& o : oggetti_dei_dati(d)) {
    if (o.file == 0) continue;
    ++con_record[o.genere];
    ASSERT_TRUE(parola.count(o.genere)) << o.genere << " ha un record";
    const std::string r = riga_di(o.file == 1 ? c.linea : c.treno, o.riga);
    std::string minuscola;
    for (char ch : r) minuscola += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_NE(minuscola.find(parola.at(o.genere)), std::string::npos)
        << o.genere << " a " << o.da << " m: riga " << o.riga << " \"" << r << "\"";
    ASSERT_TRUE(o.scritto.is_number());
    EXPECT_NE(r.find(std::to_string(o.scritto.get<int64_t>())), std::string::npos) << r;
  }
  // Every kind of record the built-in scenario holds (it has no slowdown).
  for (const char* g : {"stazione", "segnale", "curva", "pendenza", "velocita", "aderenza", "cartello",
                        "cartello_vmax", "montagna"}) {
    EXPECT_GT(con_record[g], 0) << g;
  }
}

// Positions and labels of a few objects: as the tables say, labelled as the
// chart labels them.
TEST(Vista, PosizioniEdEtichetteComeNelleTabelle) {
  const compilato& c = incorporato();
  const modello& m = c.e.m;
  const std::vector<oggetto> ogg = oggetti_dei_dati(dati(c));

  const voce& prima = m.voci[voce_prima_stazione];
  const oggetto* stazione = nullptr;
  for (const oggetto& o : ogg) {
    if (o.genere == "stazione" && !stazione) stazione = &o;
  }
  ASSERT_NE(stazione, nullptr);
  EXPECT_EQ(stazione->da, prima.posizione);
  EXPECT_EQ(stazione->etichetta.rfind(cp1252_in_utf8(prima.nome), 0), 0u) << stazione->etichetta;
  EXPECT_EQ(stazione->file, 2);
  EXPECT_NE(riga_di(c.treno, stazione->riga).find(prima.nome), std::string::npos);

  int segnali = 0;
  for (const oggetto& o : ogg) {
    if (o.genere != "segnale") continue;
    ++segnali;
    ASSERT_GE(o.cella, 0);
    const cella& k = m.celle[static_cast<std::size_t>(o.cella)];
    EXPECT_EQ(k.tipo, cella_segnale);
    EXPECT_EQ(o.da, o.cella * 50);
    EXPECT_EQ(o.etichetta, etichetta_segnale(k));
    // The written position lands on the signal's cell, one past its own.
    EXPECT_EQ(o.cella, std::lround(o.scritto.get<double>() / 50.0 + 1));
  }
  int celle_segnale = 0;
  for (const cella& k : m.celle) celle_segnale += k.tipo == cella_segnale;
  EXPECT_EQ(segnali, celle_segnale);

  // The gradient stretches tile the cells the line description set, end to
  // end, with no two neighbours of one value.
  int64_t fine = 0;
  std::string prima_etichetta;
  for (const oggetto& o : ogg) {
    if (o.genere != "pendenza") continue;
    EXPECT_EQ(o.da, fine);
    EXPECT_GT(o.a, o.da);
    EXPECT_NE(o.etichetta, prima_etichetta) << "a " << o.da << " m";
    EXPECT_EQ(o.etichetta,
              std::to_string(static_cast<int>(m.celle[static_cast<std::size_t>(o.cella)].pendenza) - 100));
    prima_etichetta = o.etichetta;
    fine = o.a;
  }
  EXPECT_EQ(fine, static_cast<int64_t>(celle_con_pendenza(m.celle)) * 50);
}

// The plan goes to the page sampled: its first point is the plan's first
// row, and a long line gives no more than the bound.
TEST(Vista, PiantaCampionata) {
  const compilato& c = incorporato();
  const dati_grafico g = dati_dal_modello(c.e.m);
  const json d = dati(c);
  const json& xy = d["pianta"]["xy"];
  const int64_t passo = d["pianta"]["passo"];
  ASSERT_GE(xy.size(), 4u);
  EXPECT_LE(xy.size(), 2 * (kPuntiPiantaVista + 1));
  EXPECT_EQ(static_cast<int64_t>(xy.size() / 2 - 1), (g.piano->metri() - 1 + passo - 1) / passo);
  g.piano->percorri([&](const riga_piano& r) {
    EXPECT_NEAR(xy[0].get<double>(), r.x, 0.05);
    EXPECT_NEAR(xy[1].get<double>(), r.y, 0.05);
    return false;
  });
}

// The faults and warnings of the compile, at their positions and lines.
TEST(Vista, DiagnosiConPosizioneERiga) {
  piattaforma_memoria p;
  std::string linea = testo_righe(righe_linea(p));
  std::string treno = testo_righe(righe_treno(p));
  // A second signal on the cell of the first one of the description.
  const std::size_t s = treno.find("\nsegnale");
  ASSERT_NE(s, std::string::npos);
  const std::size_t fine = treno.find('\n', s + 1);
  const std::string doppio = treno.substr(s, fine - s);
  treno.insert(fine, doppio);
  int riga_doppio = 1;
  for (std::size_t i = 0; i <= fine; ++i) riga_doppio += treno[i] == '\n';
  const compilato c = compila(linea, treno);
  const json d = dati(c);
  bool trovato = false;
  for (const json& x : d["diagnosi"]) {
    if (x["errore"] && x["riga"] == riga_doppio) {
      trovato = true;
      EXPECT_EQ(x["file"], "treno.txt");
      EXPECT_FALSE(x["testo"].get<std::string>().empty());
    }
  }
  EXPECT_TRUE(trovato) << d["diagnosi"].dump();
}

// The page holds its data, script and style, refers to nothing outside,
// and no text of the scenario can end its script.
TEST(Vista, PaginaAutonoma) {
  piattaforma_memoria p;
  std::string linea = testo_righe(righe_linea(p));
  const std::size_t k = linea.find("\ncartello");
  ASSERT_NE(k, std::string::npos);
  const std::size_t fine = linea.find('\n', k + 1);
  const std::string r = linea.substr(k + 1, fine - k - 1);
  // The sign's text is the field after its position.
  const std::size_t virgola = r.find(',', r.find(',') + 1);
  ASSERT_NE(virgola, std::string::npos);
  linea.replace(k + 1, fine - k - 1, r.substr(0, virgola + 1) + " </script><!-- <b>&amp;\r");
  const compilato c = compila(linea, testo_righe(righe_treno(p)));
  const std::string pagina = pagina_vista(dati_dal_modello(c.e.m), opzioni_vista{});
  for (const char* vietato : {"http:", "https:", "src=", "href=", "@import", "url(", "<link", "<iframe"}) {
    EXPECT_EQ(pagina.find(vietato), std::string::npos) << vietato;
  }
  // Two scripts, each closed once: the data and the program.
  std::size_t chiusure = 0;
  for (std::size_t i = pagina.find("</script"); i != std::string::npos; i = pagina.find("</script", i + 1)) {
    ++chiusure;
  }
  EXPECT_EQ(chiusure, 2u);
  EXPECT_EQ(pagina.find("<!-- <b>"), std::string::npos);
  // The data still says the text as written.
  const std::size_t a = pagina.find("id=\"dati\">") + 10;
  const json d = json::parse(pagina.substr(a, pagina.find("</script>", a) - a));
  bool trovato = false;
  for (const oggetto& o : oggetti_dei_dati(d)) trovato |= o.etichetta == "</script><!-- <b>&amp;";
  EXPECT_TRUE(trovato);
  EXPECT_NE(pagina.find("<style>"), std::string::npos);
  EXPECT_NE(pagina.find("window.vista"), std::string::npos);
}

}  // namespace
}  // namespace scenario
