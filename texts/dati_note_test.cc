// The built-in line notes, read back from the written file.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/cp1252.h"
#include "common/nomi.h"
#include "tests/righe_prova.h"

namespace scenario {
namespace {

// The notes' lines, back in UTF-8 so that they compare with the program's
// text ("è", "à").
std::vector<std::string> note() {
  std::vector<std::string> r = prova::righe_scritte(file_scenario::note);
  for (std::string& riga : r) riga = cp1252_in_utf8(riga);
  return r;
}

bool finisce_con_spazio(const std::string& s) { return !s.empty() && s.back() == ' '; }

// A place name as the notes write it: capitals, blanks and points.
bool in_maiuscolo(const std::string& s) {
  return !s.empty() && s.front() >= 'A' && s.front() <= 'Z' && s.back() != ' ' &&
         std::all_of(s.begin(), s.end(), [](char c) { return (c >= 'A' && c <= 'Z') || c == ' ' || c == '.'; });
}

// True when `riga` is `prima`, something, then `dopo`; the something goes to `mezzo`.
bool tra(const std::string& riga, const std::string& prima, const std::string& dopo, std::string& mezzo) {
  if (riga.size() < prima.size() + dopo.size() || riga.rfind(prima, 0) != 0 ||
      riga.compare(riga.size() - dopo.size(), dopo.size(), dopo) != 0) {
    return false;
  }
  mezzo = riga.substr(prima.size(), riga.size() - prima.size() - dopo.size());
  return true;
}

TEST(NoteLinea, RigheFisseAlLoroPosto) {
  const std::vector<std::string> r = note();
  ASSERT_EQ(r.size(), 49u);
  const std::pair<int, const char*> attese[] = {
      {1, "Caratteristiche della linea VELMO-VERDAL-MONTEGRIEVE"},
      {2, ""},
      {3, "Trazione elettrica intera tratta."},
      {5, "Sistemi di esercizio: DIRIGENZA LOCALE con"},
      {13, "Non è attiva la Ripetizione Segnali"},
      {14, "Tutte le STAZIONI sono munite di doppio segnalamento di protezione e partenza."},
      {16, "ingresso/uscita lato Verdal viene fornita con l'aspetto dei segnali."},
      {18, "ingresso/uscita lato Montegrieve viene fornita con l'aspetto dei segnali."},
      {20, "arrivo dal binario illegale (impianti 'tipo B' OS 17/1981)."},
      {21, "FERMATE presenziate protette da segnali:"},
      {29, "non munite di segnali."},
      {30, "Esistono 42 passaggi a livello tutti indicati nella simulazione."},
      {31, "Sono indicate le linee afferenti come diramazioni/confluenze."},
      {32, "I cartelli indicatori di velocità massima non sono presenti in realtà."},
      {36, ""},
      {37, ""},
      {38, "Caratteristiche del treno 24817:"},
      {39, ""},
      {40, "Regionale VELMO-VERDAL, previsto con E656; la marcia è caratterizzata dai normali problemi di "
           "incrocio "},
      {41, "tipici di una linea a binario unico."},
      {42, ""},
      {43, ""},
      {44, ""},
      {48, ""},
      {49, ""},
  };
  for (const auto& [n, testo] : attese) EXPECT_EQ(r[n - 1], testo) << "riga " << n;

  // Sentences carried on to the next line end in a blank.
  for (int n : {4, 17, 28, 33, 40}) EXPECT_TRUE(finisce_con_spazio(r[n - 1])) << "riga " << n;
  for (int n : {3, 5, 15, 16, 19, 29, 34, 35}) EXPECT_FALSE(finisce_con_spazio(r[n - 1])) << "riga " << n;
  // The remark in brackets over three lines.
  EXPECT_EQ(r[44].front(), '(');
  EXPECT_EQ(r[46].substr(r[46].size() - 2), ").");
}

TEST(NoteLinea, TrattePerSistemaDiEsercizioInCatena) {
  const std::vector<std::string> r = note();
  ASSERT_EQ(r.size(), 49u);
  const char* sistemi[7] = {"Blocco Elettrico Manuale",
                            "Blocco Automatico Conta Assi",
                            "Blocco Automatico a correnti fisse",
                            "Blocco Elettrico Manuale",
                            "Blocco Automatico Conta Assi",
                            "Blocco Elettrico Manuale",
                            "Blocco Automatico a correnti fisse con segnalamento a due aspetti"};
  std::string precedente = "VELMO";
  bool con_ad = false;
  for (int i = 0; i < 7; ++i) {
    // "<system> da <where the previous one ended> a <next>", "ad" before a vowel.
    const std::string& riga = r[5 + i];
    const std::string inizio = std::string(sistemi[i]) + " da " + precedente;
    ASSERT_EQ(riga.rfind(inizio, 0), 0u) << riga;
    if (i == 3) {
      EXPECT_EQ(precedente, "VERDAL") << "la quarta tratta parte dal bivio";
    }
    const std::string resto = riga.substr(inizio.size());
    const bool ad = resto.rfind(" ad ", 0) == 0;
    ASSERT_TRUE(ad || resto.rfind(" a ", 0) == 0) << riga;
    const std::string verso = resto.substr(ad ? 4 : 3);
    EXPECT_TRUE(in_maiuscolo(verso)) << riga;
    EXPECT_EQ(ad, std::string("AEIOU").find(verso[0]) != std::string::npos) << riga;
    con_ad = con_ad || ad;
    precedente = verso;
  }
  EXPECT_EQ(precedente, "MONTEGRIEVE");
  EXPECT_TRUE(con_ad);
}

TEST(NoteLinea, LuoghiCoerentiConLeDescrizioni) {
  const std::vector<std::string> r = note();
  ASSERT_EQ(r.size(), 49u);
  const auto stazioni = prova::record(prova::righe_scritte(file_scenario::descrizione_treno), "stazione");
  const auto cartelli = prova::record(prova::righe_scritte(file_scenario::descrizione_linea), "cartello_indicatore");

  // The speed limits of the two stations in item 6.
  const std::string limitazione = ": la limitazione di velocità a ";
  const std::string tracciato = " km/h dovuta a caratteristiche di tracciato in";
  std::string a30, a60;
  ASSERT_TRUE(tra(r[14], "", limitazione + "30" + tracciato, a30)) << r[14];
  ASSERT_TRUE(tra(r[16], "", limitazione + "60" + tracciato + " ", a60)) << r[16];
  EXPECT_TRUE(in_maiuscolo(a30)) << a30;
  EXPECT_TRUE(in_maiuscolo(a60)) << a60;
  // The first stands between the origin and the junction, on the train's run.
  bool sul_percorso = false;
  for (std::size_t i = 1; i + 1 < stazioni.size(); ++i) sul_percorso = sul_percorso || stazioni[i][17] == a30;
  EXPECT_TRUE(sul_percorso) << a30;
  // The second beyond the junction: a section of the double track starts there.
  bool oltre = false;
  for (int i = 3; i < 7; ++i) oltre = oltre || r[5 + i].find(" da " + a60 + " a") != std::string::npos;
  EXPECT_TRUE(oltre) << a60;

  std::string altra;
  EXPECT_TRUE(tra(r[18], "Le stazioni di ", " e MONTEGRIEVE sono dotate di segnali di protezione anche in", altra))
      << r[18];
  EXPECT_TRUE(in_maiuscolo(altra)) << altra;

  // Staffed halts, in the order of their descriptions.
  const char* fermate[5] = {"segnali di PBA hanno anche funzione di protezione della fermata,",
                            "posto di blocco intermedio manuale munito di doppio segnalamento (ex stazione),",
                            "segnali di PBI BCA hanno anche funzione di protezione della fermata,",
                            "segnali di protezione della fermata che non influiscono sul distanziamento,",
                            "posto di blocco intermedio manuale, i segnali proteggono la fermata."};
  std::set<std::string> fermate_nominate;
  for (int i = 0; i < 5; ++i) {
    const std::string& riga = r[21 + i];
    const std::size_t virgola = riga.find(", ");
    ASSERT_NE(virgola, std::string::npos) << riga;
    EXPECT_EQ(riga.substr(virgola + 2), fermate[i]);
    fermate_nominate.insert(riga.substr(0, virgola));
  }
  // The passing point, controlled from the station where double track begins.
  std::string posto;
  ASSERT_TRUE(tra(r[26], "POSTO DI MOVIMENTO ", ", munito di binario di incrocio e doppio segnalamento.", posto))
      << r[26];
  const std::size_t da = posto.find(", telecomandato da ");
  ASSERT_NE(da, std::string::npos) << r[26];
  const std::string pm = posto.substr(0, da), comando = posto.substr(da + 19);
  EXPECT_TRUE(in_maiuscolo(pm)) << pm;
  EXPECT_NE(r[3].find("a doppio binario da " + comando + " "), std::string::npos) << r[3];
  // The four unstaffed halts.
  const std::string impresenziate = " sono fermate impresenziate ";
  ASSERT_GE(r[27].size(), impresenziate.size());
  ASSERT_EQ(r[27].substr(r[27].size() - impresenziate.size()), impresenziate);
  std::vector<std::string> senza_segnali;
  {
    std::string elenco = r[27].substr(0, r[27].size() - impresenziate.size());
    for (std::size_t i; (i = elenco.find(", ")) != std::string::npos; elenco.erase(0, i + 2)) {
      senza_segnali.push_back(elenco.substr(0, i));
    }
    senza_segnali.push_back(elenco);
  }
  EXPECT_EQ(senza_segnali.size(), 4u);

  // Every station of the train description is named, and its halts (kinds
  // 25 and above) are exactly those among the halts of the notes.
  std::string tutto;
  for (const std::string& riga : r) tutto += riga + "\n";
  for (const auto& s : stazioni) {
    const std::string nome = s[17];
    const bool fermata = prova::intero(s[2]) >= 25;
    const bool elencata = fermate_nominate.count(nome) != 0 ||
                          std::count(senza_segnali.begin(), senza_segnali.end(), nome) != 0;
    EXPECT_NE(tutto.find(nome.rfind("P.M. ", 0) == 0 ? nome.substr(5) : nome), std::string::npos) << nome;
    EXPECT_EQ(fermata, elencata) << nome;
  }
  // The passing point is the train description's "P.M." station.
  int posti_di_movimento = 0;
  for (const auto& st : stazioni) {
    if (st[17].rfind("P.M. ", 0) == 0) {
      EXPECT_EQ(st[17].substr(5), pm);
      ++posti_di_movimento;
    }
  }
  EXPECT_EQ(posti_di_movimento, 1);

  // "42 passaggi a livello": the level-crossing posts of the line description.
  int passaggi = 0;
  for (const auto& c : cartelli) passaggi += c[2].rfind("(PL", 0) == 0 ? 1 : 0;
  EXPECT_EQ(passaggi, 42);
}

}  // namespace
}  // namespace scenario
