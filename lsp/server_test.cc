// The server driven as an editor drives it, through its streams: the pair's
// diagnostics as the author types, hover, completion, signature help,
// outline and formatting, and a server that survives what a client may get
// wrong.
#include "lsp/server.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/limiti.h"
#include "lsp/protocollo.h"
#include "tests/cliente_lsp.h"
#include "tests/coppia_incorporata.h"
#include "tests/prova.h"

namespace scenario {
namespace {

using prova::json;

json documento(const std::string& uri) { return {{"textDocument", {{"uri", uri}}}}; }

json a_posizione(const std::string& uri, int riga, int colonna) {
  return {{"textDocument", {{"uri", uri}}}, {"position", {{"line", riga}, {"character", colonna}}}};
}

void apri(prova::cliente_lsp& c, const std::string& uri, const std::string& testo, int versione = 1) {
  c.notifica("textDocument/didOpen",
             {{"textDocument", {{"uri", uri}, {"languageId", "scenario"}, {"version", versione}, {"text", testo}}}});
}

void sostituisci_tutto(prova::cliente_lsp& c, const std::string& uri, const std::string& testo, int versione) {
  c.notifica("textDocument/didChange", {{"textDocument", {{"uri", uri}, {"version", versione}}},
                                        {"contentChanges", {{{"text", testo}}}}});
}

// Diagnostics published for a document at a version.
json diagnostiche_versione(prova::cliente_lsp& c, const std::string& uri, int versione) {
  std::optional<json> d = c.attendi([&](const json& m) {
    return m.value("method", "") == "textDocument/publishDiagnostics" && m["params"]["uri"] == uri &&
           m["params"].value("version", -1) == versione;
  });
  EXPECT_TRUE(d.has_value()) << "no diagnostics for " << uri << " at version " << versione;
  return d ? (*d)["params"]["diagnostics"] : json::array();
}

class server_lsp : public ::testing::Test {
 protected:
  void SetUp() override {
    prova::scrivi_file(cartella.file("linea.txt"), utf8_in_cp1252(linea));
    prova::scrivi_file(cartella.file("treno.txt"), utf8_in_cp1252(treno));
    uri_linea = lsp::uri_da_percorso(std::filesystem::absolute(cartella.file("linea.txt")).generic_string());
    uri_treno = lsp::uri_da_percorso(std::filesystem::absolute(cartella.file("treno.txt")).generic_string());
  }

  prova::cartella_temporanea cartella;
  std::string linea = prova::linea_incorporata_utf8();
  std::string treno = prova::treno_incorporato_utf8();
  std::string uri_linea, uri_treno;
};

TEST_F(server_lsp, UnaParolaSbagliataHaLaSuaDiagnosticaCheSparisceQuandoSiCorregge) {
  prova::cliente_lsp c;
  c.inizializza();
  std::string sbagliato = treno;
  sbagliato.replace(sbagliato.find("stazione,    3250"), 8, "stazone");
  const int riga = prova::riga_con(sbagliato, "stazone");
  apri(c, uri_treno, sbagliato);

  const json d = diagnostiche_versione(c, uri_treno, 1);
  ASSERT_FALSE(d.empty());
  const auto slip = std::find_if(d.begin(), d.end(), [&](const json& x) {
    return x["message"].get<std::string>().find("stazone") != std::string::npos;
  });
  ASSERT_NE(slip, d.end()) << d.dump(1);
  EXPECT_EQ((*slip)["range"]["start"]["line"], riga);
  EXPECT_EQ((*slip)["severity"], 2);
  EXPECT_EQ((*slip)["code"], "parola");
  EXPECT_EQ((*slip)["source"], "scenario");
  // The line description of the pair, found on disk, gets its own.
  EXPECT_EQ(c.diagnostiche(uri_linea).value()["params"]["diagnostics"], json::array());

  sostituisci_tutto(c, uri_treno, treno, 2);
  EXPECT_EQ(diagnostiche_versione(c, uri_treno, 2), json::array());
  EXPECT_EQ(c.chiudi(), 0);
}

TEST_F(server_lsp, UnGuastoVaAllaRigaConIlSuoCodiceEDiventaErroreConSevero) {
  prova::cliente_lsp c;
  c.inizializza({{"severo", true}});
  // The first signal keeps a time its sx drops (a warning), and a second
  // signal on its cell is fault 16 at its own line.
  std::string t = treno;
  const std::string primo = "segnale,    6000,   1, 3, 1,  0, 0,    0,  0,0,0,   0";
  t.replace(t.find(primo), primo.size(), "segnale,    6000,   1, 3, 1,  0, 0,    0,  0,0,0, 230");
  const std::string secondo = "segnale,    7200,   2, 2, 3,  0, 0,    0,  0,0,0, 230";
  t.replace(t.find(secondo), secondo.size(), "segnale,    6000,   2, 2, 3,  0, 0,    0,  0,0,0, 230");
  apri(c, uri_treno, t);
  const json d = diagnostiche_versione(c, uri_treno, 1);
  ASSERT_EQ(d.size(), 2u) << d.dump(1);
  EXPECT_EQ(d[0]["code"], "scartato");
  EXPECT_EQ(d[0]["severity"], 1);  // a warning, counted as a fault
  EXPECT_EQ(d[0]["range"]["start"]["line"], prova::riga_con(t, "segnale,    6000,   1"));
  EXPECT_EQ(d[1]["code"], 16);
  EXPECT_EQ(d[1]["severity"], 1);
  EXPECT_EQ(d[1]["range"]["start"]["line"], prova::riga_con(t, "segnale,    6000,   2"));
  EXPECT_NE(d[1]["message"].get<std::string>().find("codice 16 a 6000 m"), std::string::npos);

  // Without --severo the warning is a warning.
  c.notifica("workspace/didChangeConfiguration", {{"settings", {{"scenario", {{"severo", false}}}}}});
  const json d2 = diagnostiche_versione(c, uri_treno, 1);
  ASSERT_EQ(d2.size(), 2u);
  EXPECT_EQ(d2[0]["severity"], 2);
}

TEST_F(server_lsp, LaLineaApertaContaSulFileEIGuastiDellaLineaVannoAllaLinea) {
  prova::cliente_lsp c;
  c.inizializza();
  apri(c, uri_treno, treno);
  EXPECT_EQ(diagnostiche_versione(c, uri_treno, 1), json::array());
  // The line opened with a gradient out of range: its buffer, not the file,
  // is compiled with the train.
  std::string l = linea;
  const auto i = l.find("pendenza,");
  const auto fine = l.find('\r', i);
  l.replace(i, fine - i, "pendenza, 100, 300");
  apri(c, uri_linea, l, 7);
  const json d = diagnostiche_versione(c, uri_linea, 7);
  ASSERT_EQ(d.size(), 1u) << d.dump(1);
  EXPECT_EQ(d[0]["code"], "pendenza");
  EXPECT_EQ(d[0]["range"]["start"]["line"], prova::riga_con(l, "pendenza, 100, 300"));
}

TEST_F(server_lsp, UnaDescrizioneSenzaCoppiaLoDice) {
  prova::cartella_temporanea sola;
  const std::string uri = lsp::uri_da_percorso(std::filesystem::absolute(sola.file("treno.txt")).generic_string());
  prova::cliente_lsp c;
  c.inizializza();
  apri(c, uri, treno);
  const json d = diagnostiche_versione(c, uri, 1);
  ASSERT_EQ(d.size(), 1u) << d.dump(1);
  EXPECT_EQ(d[0]["code"], "coppia");
  EXPECT_EQ(d[0]["severity"], 3);
}

TEST_F(server_lsp, UnCarattereCheWindows1252NonContieneAllaSuaRiga) {
  prova::cliente_lsp c;
  c.inizializza();
  std::string t = treno;
  t.replace(t.find("ZELMORIO PAESE"), 14, "ZELMORIO → PAESE");
  t.replace(t.find("TASCAVIA"), 8, "TASCAVIA €");  // in Windows-1252
  apri(c, uri_treno, t);
  const json d = diagnostiche_versione(c, uri_treno, 1);
  ASSERT_EQ(d.size(), 1u) << d.dump(1);
  EXPECT_EQ(d[0]["code"], "codifica");
  EXPECT_EQ(d[0]["range"]["start"]["line"], prova::riga_con(t, "ZELMORIO"));
  const std::string riga = t.substr(t.rfind('\n', t.find("ZELMORIO")) + 1);
  EXPECT_EQ(d[0]["range"]["start"]["character"], riga.find("→"));  // ASCII before it: bytes are UTF-16 units
}

TEST_F(server_lsp, UnaDescrizioneOltre64MiBERifiutata) {
  prova::cliente_lsp c;
  c.inizializza();
  // The message written by hand: one copy of the text, not the several
  // that building it as JSON would take.
  const std::string testo = json(treno).dump();
  std::string corpo = R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":")" +
                      uri_treno + R"(","languageId":"scenario","version":1,"text":)";
  corpo.reserve(corpo.size() + kMassimoDescrizione + 100);
  corpo.append(testo, 0, testo.size() - 1);
  corpo.append(kMassimoDescrizione + 1 - treno.size(), ' ');
  corpo += "\"}}}";
  c.invia_grezzo("Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n");
  c.invia_grezzo(corpo);
  corpo = {};
  const json d = diagnostiche_versione(c, uri_treno, 1);
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0]["code"], "dimensione");
  EXPECT_EQ(d[0]["message"], descrizione_troppo_grande(kMassimoDescrizione));
  EXPECT_EQ(c.chiudi(), 0);
}

TEST_F(server_lsp, HoverCompletamentoFirmaEStruttura) {
  prova::cliente_lsp c;
  c.inizializza();
  apri(c, uri_treno, treno);
  apri(c, uri_linea, linea);
  const int riga_segnale = prova::riga_con(treno, "segnale,    7200");

  // The keyword: its reference, every value named.
  json h = c.chiedi("textDocument/hover", a_posizione(uri_treno, riga_segnale, 3)).value()["result"];
  const std::string testo = h["contents"]["value"];
  for (const char* v : {"`sx`", "`s1`", "`rapp`", "`tempo`", "dato4 = rapp × 10 + sx × 3 + dx", "Esempio"}) {
    EXPECT_NE(testo.find(v), std::string::npos) << v << " in " << testo;
  }
  EXPECT_EQ(h["range"]["start"]["character"], 0);
  EXPECT_EQ(h["range"]["end"]["character"], 7);
  // A value: its name and meaning.
  const int colonna_sx = static_cast<int>(std::string("segnale,    7200,   ").size());
  h = c.chiedi("textDocument/hover", a_posizione(uri_treno, riga_segnale, colonna_sx)).value()["result"];
  EXPECT_NE(h["contents"]["value"].get<std::string>().find("**sx** — valore 2 di `segnale`"), std::string::npos);
  // A position: its cell and its chainage, from the line of the pair.
  h = c.chiedi("textDocument/hover", a_posizione(uri_treno, riga_segnale, 13)).value()["result"];
  EXPECT_NE(h["contents"]["value"].get<std::string>().find("cella 145 (round(7200 / 50 + 1))"), std::string::npos)
      << h.dump();
  EXPECT_NE(h["contents"]["value"].get<std::string>().find("km 93+700 (tratto uno)"), std::string::npos) << h.dump();

  // Completion at the start of a new line in [stazioni].
  const int riga_stazioni = prova::riga_con(treno, "[stazioni]");
  std::string t = treno;
  t.insert(t.find("[stazioni]") + std::string("[stazioni]\r\n").size(), "st\r\n");
  sostituisci_tutto(c, uri_treno, t, 2);
  json p = c.chiedi("textDocument/completion", a_posizione(uri_treno, riga_stazioni + 1, 2)).value()["result"];
  std::vector<std::string> etichette;
  for (const json& x : p["items"]) etichette.push_back(x["label"]);
  EXPECT_NE(std::find(etichette.begin(), etichette.end(), "stazione"), etichette.end());
  EXPECT_NE(std::find(etichette.begin(), etichette.end(), "[fine]"), etichette.end());
  EXPECT_EQ(std::find(etichette.begin(), etichette.end(), "segnale"), etichette.end());  // not in this section
  const auto stazione = std::find_if(p["items"].begin(), p["items"].end(), [](const json& x) { return x["label"] == "stazione"; });
  EXPECT_EQ((*stazione)["insertTextFormat"], 2);
  EXPECT_EQ((*stazione)["textEdit"]["newText"].get<std::string>().substr(0, 36), "stazione, ${1:posizione}, ${2:tipo},");
  EXPECT_EQ((*stazione)["textEdit"]["range"]["start"]["character"], 0);
  EXPECT_EQ((*stazione)["textEdit"]["range"]["end"]["character"], 2);

  // Signature help on the fourth value of a station.
  const int riga_velmo = prova::riga_con(t, "VELMO");
  json f = c.chiedi("textDocument/signatureHelp", a_posizione(uri_treno, riga_velmo, 30)).value()["result"];
  EXPECT_EQ(f["activeParameter"], 3);
  const json par = f["signatures"][0]["parameters"][3]["label"];
  EXPECT_EQ(f["signatures"][0]["label"].get<std::string>().substr(par[0].get<std::size_t>(),
                                                                  par[1].get<std::size_t>() - par[0].get<std::size_t>()),
            "attributo_1");

  // The outline: the stations by name under their section.
  json s = c.chiedi("textDocument/documentSymbol", documento(uri_treno)).value()["result"];
  const auto sezione = std::find_if(s.begin(), s.end(), [](const json& x) { return x["name"] == "[stazioni]"; });
  ASSERT_NE(sezione, s.end());
  std::vector<std::string> nomi;
  for (const json& x : (*sezione)["children"]) nomi.push_back(x["name"]);
  EXPECT_EQ(nomi, (std::vector<std::string>{"VELMO", "ZELMORIO PAESE", "TASCAVIA", "ORBENTE", "VASCOLINO", "PRIMELLA",
                                            "CORVAGNO", "P.M. LUSTRIGO", "FENARDO", "VERDAL"}));
  EXPECT_EQ((*sezione)["children"][1]["detail"], "stazione, 3250 m");
  const auto segnali = std::find_if(s.begin(), s.end(), [](const json& x) { return x["name"] == "[segnali]"; });
  ASSERT_NE(segnali, s.end());
  EXPECT_EQ((*segnali)["children"][0]["name"], "segnale 6000 m");
  EXPECT_EQ(c.chiudi(), 0);
}

TEST_F(server_lsp, LaFormattazioneAllineaSenzaCambiareCiòCheILettoriVedono) {
  prova::cliente_lsp c;
  c.inizializza();
  apri(c, uri_linea, "[generale]\r\nlunghezza percorso, 30000\r\n[pendenze]\r\npendenza,0,5\r\npendenza,  12000, -3\r\n[fine]\r\n");
  const json e = c.chiedi("textDocument/formatting", {{"textDocument", {{"uri", uri_linea}}},
                                                      {"options", {{"tabSize", 4}, {"insertSpaces", true}}}})
                     .value()["result"];
  ASSERT_EQ(e.size(), 2u) << e.dump();
  EXPECT_EQ(e[0]["newText"], "pendenza,     0,  5");
  EXPECT_EQ(e[1]["newText"], "pendenza, 12000, -3");
  EXPECT_EQ(e[0]["range"]["start"]["line"], 3);
}

TEST_F(server_lsp, UnMessaggioMalformatoOUnMetodoSconosciutoNonFermanoIlServer) {
  prova::cliente_lsp c;
  const json prima = c.chiedi("textDocument/hover", a_posizione(uri_treno, 0, 0)).value();
  EXPECT_EQ(prima["error"]["code"], -32002);  // not initialised yet
  c.inizializza();
  c.invia_grezzo("Content-Length: 9\r\n\r\n{not json");
  EXPECT_EQ(c.attendi([](const json& m) { return m.contains("error"); }).value()["error"]["code"], -32700);
  c.invia_grezzo("Content-Type: x\r\n\r\n");
  EXPECT_EQ(c.attendi([](const json& m) { return m.contains("error"); }).value()["error"]["code"], -32600);
  c.invia({{"jsonrpc", "2.0"}, {"id", 1000}, {"params", {}}});
  EXPECT_EQ(c.risposta(1000).value()["error"]["code"], -32600);
  EXPECT_EQ(c.chiedi("textDocument/nonEsiste", json::object()).value()["error"]["code"], -32601);
  EXPECT_EQ(c.chiedi("textDocument/hover", {{"textDocument", 3}}).value()["error"]["code"], -32602);
  c.notifica("textDocument/didOpen", {{"textDocument", "rotto"}});  // a notification gets no answer
  c.notifica("$/qualcosa", json::object());
  // Still serving.
  apri(c, uri_treno, treno);
  EXPECT_EQ(diagnostiche_versione(c, uri_treno, 1), json::array());
  const json s = c.chiedi("textDocument/documentSymbol", documento(uri_treno)).value();
  EXPECT_TRUE(s["result"].is_array());
  for (const json& m : c.non_presi()) EXPECT_FALSE(m.contains("error")) << m.dump();
  EXPECT_EQ(c.chiudi(), 0);
}

TEST_F(server_lsp, SenzaShutdownLUscitaE1) {
  prova::cliente_lsp c;
  c.inizializza();
  c.notifica("exit", nullptr);
  EXPECT_EQ(c.termina(), 1);
}

TEST_F(server_lsp, DopoModificheRapideLUltimaVersioneEQuellaPubblicata) {
  prova::cliente_lsp c;
  c.inizializza();
  std::string sbagliato = treno;
  sbagliato.replace(sbagliato.find("stazione,    3250"), 8, "stazone");
  apri(c, uri_treno, sbagliato);
  for (int v = 2; v <= 20; ++v) sostituisci_tutto(c, uri_treno, v % 2 ? sbagliato : treno, v);
  // Publications come in order; version 20 is the clean text, and no older
  // compile is published after it.
  while (true) {
    const std::optional<json> d = c.diagnostiche(uri_treno);
    ASSERT_TRUE(d.has_value());
    const int v = (*d)["params"]["version"];
    const bool slip = (*d)["params"]["diagnostics"].dump().find("stazone") != std::string::npos;
    EXPECT_EQ(slip, v % 2 == 1) << "version " << v;
    if (v == 20) break;
  }
  EXPECT_EQ(c.chiudi(), 0);
  for (const json& m : c.non_presi()) {
    if (m.value("method", "") == "textDocument/publishDiagnostics" && m["params"]["uri"] == uri_treno) {
      ADD_FAILURE() << "published after the last version: " << m.dump();
    }
  }
}

}  // namespace
}  // namespace scenario
