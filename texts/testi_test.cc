#include "texts/testi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "common/nomi.h"
#include "tests/prova.h"
#include "tests/righe_prova.h"

namespace scenario {
namespace {

struct documento {
  file_scenario f;
  const char* nome;
  std::size_t righe;
  const char* prima;
  const char* ultima;
};

// The notes have no count of their own: 49 is what the document described
// for them comes to.
const documento kDocumenti[] = {
    {file_scenario::descrizione_linea, "Velmo - Montegrieve_linea.txt", 154, "[generale]", "[fine]"},
    {file_scenario::descrizione_treno, "Velmo - Montegrieve_24817-.txt", 49, "[generale]", "[fine]"},
    {file_scenario::note, "Velmo - Montegrieve_24817_note.txt", 49,
     "Caratteristiche della linea VELMO-VERDAL-MONTEGRIEVE", ""},
    {file_scenario::rallentamenti, "Velmo - Montegrieve_24817_rallentamenti.txt", 46, "",
     "     i giorni esclusi i seguenti:........."},
    {file_scenario::scheda_treno, "Velmo - Montegrieve_24817_scheda_treno.txt", 61, "", ""},
};

TEST(ScritturaTesti, CinqueFileConINomiEsattiNellaCartella) {
  prova::cartella_temporanea c;
  prova::piattaforma_di_prova p(c);
  prova::scrivi_testi(p);

  std::vector<std::string> attesi;
  for (const documento& d : kDocumenti) attesi.push_back(d.nome);
  std::sort(attesi.begin(), attesi.end());
  EXPECT_EQ(c.elenco(), attesi);

  for (const documento& d : kDocumenti) {
    SCOPED_TRACE(d.nome);
    const std::string byte = prova::leggi_file(c.file(d.nome));
    ASSERT_GE(byte.size(), 2u);
    EXPECT_EQ(byte.substr(byte.size() - 2), "\r\n");
    const std::vector<std::string> righe = prova::righe_crlf(byte);
    EXPECT_EQ(righe.size(), d.righe);
    ASSERT_FALSE(righe.empty());
    EXPECT_EQ(righe.front(), d.prima);
    EXPECT_EQ(righe.back(), d.ultima);
    EXPECT_EQ(byte.find("riferimento fine del file"), std::string::npos);
    EXPECT_EQ(byte.find('\0'), std::string::npos);
  }
}

TEST(ScritturaTesti, UnFilePiuLungoDiUnaCorsaPrecedenteESostituitoIntero) {
  prova::cartella_temporanea nuova;
  {
    prova::piattaforma_di_prova p(nuova);
    prova::scrivi_testi(p);
  }
  prova::cartella_temporanea c;
  for (const documento& d : kDocumenti) {
    prova::scrivi_file(c.file(d.nome), prova::leggi_file(nuova.file(d.nome)) + std::string(20000, 'v') +
                                           "\r\nriferimento fine del file\r\n");
  }
  prova::piattaforma_di_prova p(c);
  prova::scrivi_testi(p);
  for (const documento& d : kDocumenti) {
    EXPECT_EQ(prova::leggi_file(c.file(d.nome)), prova::leggi_file(nuova.file(d.nome))) << d.nome;
  }
}

TEST(ScritturaTesti, SoloNoteConLettereAccentateEInUnSoloByte) {
  piattaforma_memoria p;
  prova::scrivi_testi(p);
  for (const documento& d : kDocumenti) {
    SCOPED_TRACE(d.nome);
    const std::string byte = p.leggi(p.percorso(d.nome));
    std::string alti;
    for (char ch : byte) {
      const unsigned char b = static_cast<unsigned char>(ch);
      if (b >= 0x80) alti += ch;
      if (b < 0x20) {
        EXPECT_TRUE(b == '\r' || b == '\n') << "byte di controllo " << int{b};
      }
    }
    if (d.f == file_scenario::note) {
      // "è" and "à" only, each one byte of the code page: no UTF-8 sequence.
      EXPECT_NE(alti.find('\xE8'), std::string::npos);
      EXPECT_NE(alti.find('\xE0'), std::string::npos);
      EXPECT_EQ(alti.find_first_not_of("\xE8\xE0"), std::string::npos);
      EXPECT_NE(byte.find("La linea \xE8 a semplice binario"), std::string::npos);
      EXPECT_NE(byte.find("velocit\xE0 a 30 km/h"), std::string::npos);
    } else {
      EXPECT_EQ(alti, "");
    }
  }
}

TEST(InAnsi, RifiutaICaratteriCheWindows1252NonHa) {
  prova::cartella_temporanea c;
  prova::piattaforma_di_prova sistema(c);
  piattaforma_memoria memoria;
  for (piattaforma* p : {static_cast<piattaforma*>(&sistema), static_cast<piattaforma*>(&memoria)}) {
    EXPECT_EQ(p->in_ansi("€ è à"), "\x80 \xE8 \xE0");
    EXPECT_EQ(p->in_ansi("Localita' km 84.000"), "Localita' km 84.000");
    // Never a silent "?": an unmappable character is a programming error.
    EXPECT_THROW(p->in_ansi("Ω"), std::invalid_argument);
    EXPECT_THROW(p->in_ansi("fermata → VERDAL"), std::invalid_argument);
  }
}

}  // namespace
}  // namespace scenario
