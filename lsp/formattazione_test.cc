#include "lsp/formattazione.h"

#include <gtest/gtest.h>

#include "common/identita.h"
#include "compiler/compila_testi.h"
#include "lsp/protocollo.h"
#include "platform/cp1252.h"
#include "platform/piattaforma_memoria.h"
#include "tests/coppia_incorporata.h"

namespace scenario::lsp {
namespace {

std::string formattato(const std::string& testo, descrizione tipo) {
  const documento d = analizza(testo, tipo);
  std::vector<std::string> righe;
  for (std::string_view r : righe_di(testo)) righe.emplace_back(r);
  for (const sostituzione& s : formatta(d)) righe[static_cast<std::size_t>(s.riga)].replace(s.da, s.a - s.da, s.testo);
  std::string r;
  for (std::size_t i = 0; i < righe.size(); ++i) r += righe[i] + (i + 1 < righe.size() ? "\r\n" : "");
  return r;
}

// The compiled files and the diagnostics' lines and codes.
std::pair<std::map<std::string, std::string>, std::vector<std::string>> compilato(const std::string& l,
                                                                                  const std::string& t) {
  piattaforma_memoria p;
  const esito_compilazione e = compila_testi(p, identita_incorporata(), utf8_in_cp1252(l), utf8_in_cp1252(t), true);
  std::vector<std::string> d;
  for (const guasto& g : e.m.guasti) d.push_back("g" + std::to_string(g.codice) + "@" + std::to_string(g.riga));
  for (const avviso& a : e.m.avvisi) d.push_back("a" + std::to_string(a.tipo) + "@" + std::to_string(a.riga));
  return {p.file, d};
}

TEST(Formattazione, AllineaLeColonneELaCompilazioneResta) {
  const std::string linea = prova::linea_incorporata_utf8();
  // A train written carelessly: blanks anywhere before fields, numbers with
  // blanks before their comma, a text with trailing blanks, an empty field,
  // an empty last field and numbers separated by blanks (left alone).
  std::string treno = prova::treno_incorporato_utf8();
  treno.replace(treno.find("velocita,     700,   110"), 24, "  velocita,700   ,110");
  treno.replace(treno.find("aderenza,       0,   100"), 24, "aderenza,0,\r\n100");
  treno.replace(treno.find("TASCAVIA"), 8, "TASCAVIA  ");
  treno.replace(treno.find("segnale,    7200,   2"), 21, "segnale,7200,,");
  for (const std::string& t : {prova::treno_incorporato_utf8(), treno}) {
    const std::string f = formattato(t, descrizione::treno);
    const std::string lf = formattato(linea, descrizione::linea);
    EXPECT_EQ(compilato(lf, f), compilato(linea, t));
    EXPECT_EQ(formattato(f, descrizione::treno), f);  // formatting twice changes nothing more
  }
  const std::string f = formattato(treno, descrizione::treno);
  EXPECT_NE(f.find("\r\nvelocita,   700, 110\r\n"), std::string::npos) << f;
  EXPECT_NE(f.find("\r\naderenza, 0,\r\n100"), std::string::npos);
  EXPECT_NE(f.find("orologio,    6               39            40 "), std::string::npos);
  EXPECT_NE(f.find(", TASCAVIA  \r\n"), std::string::npos);
}

}  // namespace
}  // namespace scenario::lsp
