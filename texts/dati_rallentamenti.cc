#include "common/nomi.h"
#include "texts/testi.h"

namespace scenario {
namespace {

// An empty row of the table, and the rule under its head and under its rows.
constexpr const char* kRiga = " |   |                            |            |          |         |            |";
constexpr const char* kRegolo = " |___|____________________________|____________|__________|_________|____________|";

}  // namespace

// The slowdown order form, left blank: the train carries no slowdown, so the
// placeholders stay unfilled and the table has no rows. The legend's order
// (A, B, D, C) and wording are the printed form's own.
lista_righe righe_rallentamenti(piattaforma& p) {
  return riempi_righe(p, {
      "",
      "                               Modulo M. 3",
      "                           ORDINE DI RALLENTAMENTO",
      " ________________________________________________________________________________",
      "  Linea  xxxxxx xxxxxxx",
      "",
      "  Si ordina al macchinista del treno xxxxx di effettuare i seguenti rallentamenti",
      "  _______________________________________________________________________________",
      " |   |                            |Inizio dopo |          |         |            |",
      " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
      " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
      kRegolo,
      kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga,
      kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga,
      kRegolo,
      "",
      "              Prescrizioni specifiche",
      " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
      " B - Interessa anche la stazione di.......",
      " D - Rallentamneto N. ... e N. ...  sono contigui",
      " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
      "     i giorni esclusi i seguenti:.........",
  });
}

void dati_rallentamenti(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno) {
  riscrivi(p, nome_linea, numero_treno, file_scenario::rallentamenti, testo_righe(righe_rallentamenti(p)));
}

}  // namespace scenario
