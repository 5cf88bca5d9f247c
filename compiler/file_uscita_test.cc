#include "compiler/file_uscita.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "compiler/codifica.h"
#include "compiler/formato_celle.h"
#include "compiler/formato_geometria.h"
#include "compiler/formato_voci.h"
#include "compiler/tracciato.h"
#include "common/identita.h"
#include "common/nomi.h"
#include "tests/modello_prova.h"
#include "tests/prova.h"

namespace scenario {
namespace {

namespace fv = formato::voce;
namespace fc = formato::cella;

// A model of a line of `lunghezza` metres with the plan computed straight
// through, named as the program names it.
modello modello_di(int32_t lunghezza, int32_t calcola = 1) {
  modello m = prova::modello_dimensionato(lunghezza);
  m.nome_linea = kNomeLinea;
  m.numero_treno = kNumeroTreno;
  m.calcola_tracciato = calcola;
  m.voci[84].fine = lunghezza;
  m.voci[85].nome = "Velmo - Montegrieve";
  m.voci[86].nome = "24817";
  if (calcola != 0) {
    crea_tracciato(m);
    semina_tracciato(m);
    int32_t j = kInizioCursorePiano;
    completa_piano(m, j);
  }
  return m;
}

TEST(FileUscita, ImmagineDelleVoci) {
  modello m = modello_di(100000);
  m.voci[85].gruppo_1a = 610;
  m.voci[85].orario = -2;
  m.voci[80].nome = "(ponte fiume)(Ol\xECna)";
  voce& s = m.voci[1];
  s = {7, -1, 70000, 5150, 200, "STAZIONE", 1, -2, 3, 4, 5, 6, 7, 8, 9, 45000};

  const std::string f = immagine_voci(m);
  ASSERT_EQ(f.size(), 87 * formato::kBytesVoceVuota + 20 + 19 + 5 + 8);
  // Entry 0 is an empty record of 34 bytes, all zero.
  EXPECT_EQ(f.substr(0, 34), std::string(34, '\0'));

  // Entry 1, field by field.
  const char* r = f.data() + 34;
  EXPECT_EQ(decodifica_8(r + fv::tipo), 7);
  EXPECT_EQ(decodifica_32(r + fv::inizio), -1);
  EXPECT_EQ(f.substr(34 + fv::inizio, 4), "\xFF\xFF\xFF\xFF");
  EXPECT_EQ(decodifica_32(r + fv::fine), 70000);
  EXPECT_EQ(decodifica_32(r + fv::posizione), 5150);
  EXPECT_EQ(decodifica_8(r + fv::attributo_1), 200);
  EXPECT_EQ(decodifica_u16(r + fv::nome), 8);
  EXPECT_EQ(std::string(r + fv::nome + 2, 8), "STAZIONE");
  const char* d = r + fv::dopo_nome + 8;
  EXPECT_EQ(decodifica_16(d + fv::gruppo_1a), 1);
  EXPECT_EQ(decodifica_16(d + fv::gruppo_1b), -2);
  EXPECT_EQ(decodifica_16(d + fv::gruppo_2a), 3);
  EXPECT_EQ(decodifica_16(d + fv::gruppo_2b), 4);
  EXPECT_EQ(decodifica_16(d + fv::gruppo_2c), 5);
  EXPECT_EQ(decodifica_8(d + fv::gruppo_1c), 6);
  EXPECT_EQ(decodifica_8(d + fv::attributo_4), 7);
  EXPECT_EQ(decodifica_8(d + fv::attributo_3), 8);
  EXPECT_EQ(decodifica_8(d + fv::attributo_2), 9);
  EXPECT_EQ(decodifica_32(d + fv::orario), 45000);

  // Entries 2 to 79 are empty; 80 carries the sign text in ANSI.
  const std::size_t e80 = 34 + (34 + 8) + 78 * 34;
  EXPECT_EQ(f.substr(34 + 42, 78 * 34), std::string(78 * 34, '\0'));
  EXPECT_EQ(f.substr(e80 + fv::nome, 2 + 20), std::string("\x14\x00", 2) + "(ponte fiume)(Ol\xECna)");

  // Entry 85: the line name makes it 53 bytes; 610 is 62 02.
  const std::size_t e85 = e80 + 34 + 20 + 4 * 34;
  EXPECT_EQ(f.substr(e85 + fv::nome, 21), std::string("\x13\x00", 2) + "Velmo - Montegrieve");
  EXPECT_EQ(f.substr(e85 + fv::dopo_nome + 19 + fv::gruppo_1a, 2), "\x62\x02");
  EXPECT_EQ(f.substr(e85 + fv::dopo_nome + 19 + fv::orario, 4), "\xFE\xFF\xFF\xFF");
  const std::size_t e86 = e85 + 53;
  EXPECT_EQ(decodifica_u16(f.data() + e86 + fv::nome), 5);
  EXPECT_EQ(e86 + 34 + 5, f.size());
}

TEST(FileUscita, ImmagineDelleCelle) {
  modello m = modello_di(100000);
  cella& c = m.celle[121];
  c = {1, 30, -1, 0, 3, 101, 33, 1, 26, 91, 4};
  m.celle[2140].pendenza = 100;
  const std::string f = immagine_celle(m);
  ASSERT_EQ(f.size(), 32115u);  // 15 * 2141
  const std::size_t o = 15 * 121;
  EXPECT_EQ(f.substr(o, 15), std::string("\x01\x1E\x00\xFF\xFF\x00\x00\x03\x00\x65\x21\x01\x1A\x5B\x04", 15));
  EXPECT_EQ(decodifica_16(f.data() + o + fc::dato2), -1);
  EXPECT_EQ(decodifica_8(f.data() + o + fc::pendenza), 91);
  EXPECT_EQ(decodifica_8(f.data() + 15 * 2140 + fc::pendenza), 100);
  EXPECT_EQ(f.substr(0, o), std::string(o, '\0'));
}

TEST(FileUscita, ImmagineDelTracciato) {
  const int32_t n = 107000;
  modello m = modello_di(100000);
  const std::string f = immagine_tracciato(m);
  ASSERT_EQ(f.size(), 2139964u);  // 20 N - 36
  // x block: 0 and 1 as integers, then reals, then two empty entries.
  EXPECT_EQ(f.substr(0, 8), std::string("\x02\x00\x00\x00\x02\x00\x00\x00", 8));
  EXPECT_EQ(decodifica_u16(f.data() + 8), formato::kEtichettaReale);
  EXPECT_EQ(decodifica_reale(f.data() + 10), 0.0);
  const std::size_t y = 10 * static_cast<std::size_t>(n) - 18;
  EXPECT_EQ(f.substr(y - 4, 4), std::string(4, '\0'));
  // y block: 0 and 1 as integers, then y(j) = j as reals.
  EXPECT_EQ(f.substr(y, 8), std::string("\x02\x00\x00\x00\x02\x00\x01\x00", 8));
  EXPECT_EQ(decodifica_reale(f.data() + y + 8 + 2), 2.0);
  const std::size_t ultima = y + 8 + 10 * (static_cast<std::size_t>(n) - 4);
  EXPECT_EQ(decodifica_reale(f.data() + ultima + 2), static_cast<double>(n - 2));
  EXPECT_EQ(f.substr(ultima + 10), std::string(4, '\0'));

  // Rows never computed are tag 0 alone: 8 bytes shorter each.
  modello corto = modello_di(100000);
  corto.piano.tratti = {{999, 0.0}};
  EXPECT_EQ(immagine_tracciato(corto).size(), 2139964u - 2 * 8 * static_cast<std::size_t>(n - 2 - 1000 + 1));
}

// Records every call to the file system, with the size of each new file;
// `guasto` names a file whose write fails half way, as on a full device.
class piattaforma_registrata : public piattaforma_inoltro {
 public:
  using piattaforma_inoltro::piattaforma_inoltro;
  void elimina(const std::string& nome) override {
    chiamate.push_back("elimina " + nome);
    piattaforma_inoltro::elimina(nome);
  }
  std::string scrivi_temporaneo(const std::string& nome, const std::function<std::string_view()>& prossimo) override {
    std::size_t n = 0;
    const std::string t = piattaforma_inoltro::scrivi_temporaneo(nome, [&]() -> std::string_view {
      const std::string_view pezzo = prossimo();
      n += pezzo.size();
      if (nome == guasto && n > 1000) throw errore_sistema(nome, ENOSPC, "No space left on device");
      return pezzo;
    });
    chiamate.push_back("temporaneo " + nome + " " + std::to_string(n));
    return t;
  }
  void sostituisci(const std::string& temporaneo, const std::string& nome) override {
    chiamate.push_back("sostituisci " + nome);
    piattaforma_inoltro::sostituisci(temporaneo, nome);
  }
  std::vector<std::string> chiamate;
  std::string guasto;
};

TEST(FileUscita, TreFileScrittiPoiMessiAPostoInsieme) {
  prova::cartella_temporanea cartella;
  prova::piattaforma_di_prova sistema(cartella);
  piattaforma_registrata p(sistema);
  const modello m = modello_di(100000);
  const std::string g = cartella.file("Velmo - Montegrieve_linea.dat");
  const std::string v = cartella.file("Velmo - Montegrieve_24817.sim");
  const std::string c = cartella.file("Velmo - Montegrieve_24817.dat");
  // Older and longer files are replaced whole, never patched.
  prova::scrivi_file(v, std::string(10000, 'x'));
  scrivi_file_compilati(p, m);
  const std::vector<std::string> attese = {
      "temporaneo " + g + " 2139964",
      "temporaneo " + v + " " + std::to_string(87 * 34 + 19 + 5),
      "temporaneo " + c + " 32115",
      "sostituisci " + g,
      "sostituisci " + v,
      "sostituisci " + c,
  };
  // The set's own files (its journal, the earlier file kept aside) aside.
  std::vector<std::string> del_set;
  for (const std::string& x : p.chiamate) {
    if (x.find(".scenario-") == std::string::npos) del_set.push_back(x);
  }
  EXPECT_EQ(del_set, attese);
  // The journal is in place before the first file and goes after the last.
  const std::string giornale = cartella.file(".scenario-insieme");
  const auto dove = [&](const std::string& x) { return std::find(p.chiamate.begin(), p.chiamate.end(), x); };
  EXPECT_LT(dove("sostituisci " + giornale), dove("sostituisci " + g));
  EXPECT_EQ(p.chiamate.back(), "elimina " + giornale);
  EXPECT_EQ(cartella.elenco().size(), 3u);
  EXPECT_EQ(prova::leggi_file(g), immagine_tracciato(m));
  EXPECT_EQ(prova::leggi_file(v), immagine_voci(m));
  EXPECT_EQ(prova::leggi_file(c), immagine_celle(m));
  EXPECT_EQ(cartella.elenco().size(), 3u);

  // A second run gives the same bytes.
  const std::string primo = prova::leggi_file(g) + prova::leggi_file(v) + prova::leggi_file(c);
  scrivi_file_compilati(p, m);
  EXPECT_EQ(prova::leggi_file(g) + prova::leggi_file(v) + prova::leggi_file(c), primo);
}

// A write that fails on any of the three files leaves the earlier three as
// they were, side by side, and no temporary file.
TEST(FileUscita, UnaScritturaFallitaLasciaIlVecchioInsiemeIntero) {
  for (const char* guasto : {"Velmo - Montegrieve_linea.dat", "Velmo - Montegrieve_24817.sim",
                             "Velmo - Montegrieve_24817.dat"}) {
    SCOPED_TRACE(guasto);
    prova::cartella_temporanea cartella;
    for (const char* n : {"Velmo - Montegrieve_linea.dat", "Velmo - Montegrieve_24817.sim",
                          "Velmo - Montegrieve_24817.dat"}) {
      prova::scrivi_file(cartella.file(n), std::string("corsa precedente: ") + n);
    }
    prova::piattaforma_di_prova sistema(cartella);
    piattaforma_registrata p(sistema);
    p.guasto = cartella.file(guasto);
    try {
      scrivi_file_compilati(p, modello_di(100000));
      ADD_FAILURE() << "la scrittura fallita non e' stata riportata";
    } catch (const errore_sistema& e) {
      EXPECT_EQ(e.file(), cartella.file(guasto));
      EXPECT_EQ(e.numero(), ENOSPC);
    }
    for (const char* n : {"Velmo - Montegrieve_linea.dat", "Velmo - Montegrieve_24817.sim",
                          "Velmo - Montegrieve_24817.dat"}) {
      EXPECT_EQ(prova::leggi_file(cartella.file(n)), std::string("corsa precedente: ") + n) << n;
    }
    EXPECT_EQ(cartella.elenco().size(), 3u);
  }
}

// The system's platform takes the geometry piece by piece: the file holds
// exactly the image, over more than one piece per column.
TEST(FileUscita, LaGeometriaAPezziEIdenticaAllImmagine) {
  prova::cartella_temporanea cartella;
  auto sistema = piattaforma_di_sistema(cartella.percorso().string());
  const modello m = modello_di(200000);
  ASSERT_GT(m.piano.righe, 3 * 65536);
  scrivi_file_compilati(*sistema, m);
  EXPECT_EQ(prova::leggi_file(cartella.file("Velmo - Montegrieve_linea.dat")), immagine_tracciato(m));

  modello vuoto = modello_di(1000);
  vuoto.piano = {};
  scrivi_file_compilati(*sistema, vuoto);
  EXPECT_EQ(prova::leggi_file(cartella.file("Velmo - Montegrieve_linea.dat")), "");
}

TEST(FileUscita, SenzaCalcoloDelTracciatoLaVecchiaGeometriaResta) {
  prova::cartella_temporanea cartella;
  prova::piattaforma_di_prova p(cartella);
  const std::string g = cartella.file("Velmo - Montegrieve_linea.dat");
  prova::scrivi_file(g, "vecchia geometria");
  scrivi_file_compilati(p, modello_di(1000, 0));
  EXPECT_EQ(prova::leggi_file(g), "vecchia geometria");
  EXPECT_EQ(cartella.elenco(), (std::vector<std::string>{"Velmo - Montegrieve_24817.dat",
                                                         "Velmo - Montegrieve_24817.sim",
                                                         "Velmo - Montegrieve_linea.dat"}));
  // And without any older geometry, none appears.
  prova::cartella_temporanea vuota;
  prova::piattaforma_di_prova q(vuota);
  scrivi_file_compilati(q, modello_di(1000, 0));
  EXPECT_EQ(vuota.elenco().size(), 2u);
}

TEST(FileUscita, NomeOltre65535CaratteriRifiutato) {
  modello m = modello_di(1000, 0);
  m.voci[3].nome.assign(65535, 'a');
  EXPECT_EQ(immagine_voci(m).size(), 87 * 34 + 65535 + 19 + 5);
  m.voci[3].nome.push_back('a');
  EXPECT_THROW(immagine_voci(m), std::length_error);
}

}  // namespace
}  // namespace scenario
