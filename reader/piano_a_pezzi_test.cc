#include "reader/piano_a_pezzi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "compiler/file_uscita.h"
#include "compiler/tracciato.h"
#include "platform/piattaforma.h"
#include "platform/piattaforma_memoria.h"
#include "common/righe.h"
#include "tests/prova.h"
#include "texts/testi.h"
#include "compiler/compila_testi.h"
#include "reader/decodifica.h"

namespace scenario {
namespace {

const modello& incorporato() {
  static const esito_compilazione e = [] {
    piattaforma_memoria p;
    return compila_testi(p, identita_incorporata(), testo_righe(righe_linea(p)), testo_righe(righe_treno(p)), true);
  }();
  return e.m;
}

std::vector<riga_piano> righe(const sorgente_piano& s) {
  std::vector<riga_piano> r;
  s.percorri([&](const riga_piano& x) {
    r.push_back(x);
    return true;
  });
  return r;
}

// The same value bit for bit, or both no point.
bool stesso(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return std::memcmp(&a, &b, sizeof a) == 0;
}

void come_le_tabelle(const std::vector<riga_piano>& r, const geometria& g) {
  ASSERT_EQ(r.size(), g.x.size());
  for (std::size_t j = 0; j < r.size(); ++j) {
    const auto atteso = [](const numero_etichettato& n) {
      return n.etichetta == numero_etichettato::vuoto ? std::nan("") : n.come_reale();
    };
    ASSERT_EQ(r[j].metro, static_cast<int64_t>(j));
    ASSERT_TRUE(stesso(r[j].x, atteso(g.x[j])) && stesso(r[j].y, atteso(g.y[j])))
        << "metro " << j << ": " << r[j].x << ", " << r[j].y;
  }
}

// The rows of the geometry file, whatever the size of the pieces, are the
// decoded tables': integers, reals (negative zero and all), and holes in
// the middle and at the end, on every walk.
TEST(PianoAPezzi, RigheComeLeTabelleDecodificate) {
  geometria t = tabella_piano(incorporato().piano);
  t.x[500] = numero_etichettato{};
  t.y[501] = numero_etichettato{};
  t.x[502] = numero_etichettato::da_reale(-0.0);
  t.y[503] = numero_etichettato::da_intero(-7);
  geometria_in_tabella tabelle(t.x, t.y);
  const std::string byte = immagine_geometria(tabelle);
  const geometria g = decodifica_geometria(byte);
  for (std::size_t pezzo : {std::size_t{16}, std::size_t{17}, std::size_t{4093}, kPezzoPiano}) {
    SCOPED_TRACE(pezzo);
    const auto s = piano_a_pezzi(byte_in_memoria(byte), pezzo);
    EXPECT_EQ(s->metri(), static_cast<int64_t>(g.x.size()));
    come_le_tabelle(righe(*s), g);
    come_le_tabelle(righe(*s), g);
  }
  come_le_tabelle(righe(*piano_da_tabelle(t.x, t.y)), g);

  // A receiver that says no stops the walk.
  int64_t viste = 0;
  piano_a_pezzi(byte_in_memoria(byte), 16)->percorri([&](const riga_piano& r) {
    ++viste;
    return r.metro < 1234;
  });
  EXPECT_EQ(viste, 1235);
}

// Every cut of a good file, and bad tags, are refused by both readers in
// pieces (the chart's plan and the decoder's view) with the decoder's own
// offset and reason; what the decoder takes, the pieces take.
TEST(PianoAPezzi, GuastiComeIlDecodificatore) {
  std::string buono;
  for (const numero_etichettato& n :
       {numero_etichettato::da_intero(0), numero_etichettato::da_reale(1.5), numero_etichettato{},
        numero_etichettato::da_intero(1), numero_etichettato::da_reale(-2.25), numero_etichettato{}}) {
    char b[formato::kBytesReale];
    buono.append(b, codifica_etichettato(b, n));
  }
  std::vector<std::string> casi;
  for (std::size_t n = 0; n <= buono.size(); ++n) casi.push_back(buono.substr(0, n));
  casi.push_back(buono + std::string("\x03\x00", 2) + buono);
  casi.push_back(std::string("\x02\x00\x00\x00\x07\x00", 6));
  for (const std::string& byte : casi) {
    SCOPED_TRACE(byte.size());
    std::optional<errore_decodifica> atteso;
    try {
      decodifica_geometria(byte);
    } catch (const errore_decodifica& x) {
      atteso = x;
    }
    const auto come_il_decodificatore = [&atteso](const errore_decodifica& x) {
      ASSERT_TRUE(atteso) << "refused, but the decoder takes it: " << x.what();
      EXPECT_EQ(x.offset(), atteso->offset());
      EXPECT_EQ(x.motivo(), atteso->motivo());
    };
    try {
      const auto s = piano_a_pezzi(byte_in_memoria(byte), 16);
      EXPECT_FALSE(atteso) << "taken, but the decoder refuses it: " << atteso->what();
      if (!atteso) come_le_tabelle(righe(*s), decodifica_geometria(byte));
    } catch (const errore_decodifica& x) {
      come_il_decodificatore(x);
    }
    try {
      geometria_a_pezzi(byte_in_memoria(byte));
      EXPECT_FALSE(atteso) << "taken, but the decoder refuses it: " << atteso->what();
    } catch (const errore_decodifica& x) {
      come_il_decodificatore(x);
    }
  }
}

TEST(PianoAPezzi, FileDelSistema) {
  prova::cartella_temporanea c;
  const std::string byte = immagine_tracciato(incorporato());
  prova::scrivi_file(c.file("g_linea.dat"), byte);
  const auto s = piano_a_pezzi(byte_da_file(c.file("g_linea.dat")));
  come_le_tabelle(righe(*s), decodifica_geometria(byte));
  try {
    byte_da_file(c.file("manca_linea.dat"));
    ADD_FAILURE() << "a missing file was opened";
  } catch (const errore_sistema& x) {
    EXPECT_EQ(x.file(), c.file("manca_linea.dat"));
    EXPECT_FALSE(x.descrizione().empty());
  }
}

}  // namespace
}  // namespace scenario
