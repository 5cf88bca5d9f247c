#include "common/nomi.h"
#include "texts/testi.h"

namespace scenario {

// Train 24817, the regional from VELMO to VERDAL, leaving at 6:40. The
// section headers are plural so that none of them holds a record keyword.
lista_righe righe_treno(piattaforma& p) {
  return riempi_righe(p, {
      "[generale]",
      "numero vetture,    5",
      "percentuale massa frenata,    120",
      "sabbia,    0",
      "orologio,    6               39            40 ",
      "[aderenze]",
      "aderenza,       0,   100",
      "[vel_limite]",
      "velocita,       0,   30",
      "velocita,     700,   110",
      "velocita,    2150,   130",
      "velocita,    7200,   30",
      "velocita,    8750,   135",
      "velocita,   16800,   120",
      "velocita,   18850,   60",
      "velocita,   19350,   30",
      "velocita,   19900,   130",
      "velocita,   23650,   30",
      "velocita,   24050,   130",
      "velocita,   34550,   30",
      "velocita,   59350,   110",
      "velocita,   60000,   60",
      "velocita,   60850,   135",
      "[stazioni]",
      "stazione,       0,  4,  600,  1, 0, 0,  4,1,0,  2,1,1,    1,   6,40, 0, VELMO",
      "stazione,    3250, 27,  300,  0, 0, 0,  0,0,0,  0,0,0,   30,   6,44, 0, ZELMORIO PAESE",
      "stazione,    8250, 26,  300,  0, 0, 0,  0,0,0,  0,0,0,   60,   6,50, 0, TASCAVIA",
      "stazione,   11100, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,   30,   6,54, 0, ORBENTE",
      "stazione,   15650, 27,  300,  0, 0, 0,  0,0,0,  0,0,0,   30,   6,59, 0, VASCOLINO",
      "stazione,   19200, 12,  300,  1, 0, 0,  4,1,0,  2,1,1,   60,   7, 3, 0, PRIMELLA",
      "stazione,   22700, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,   30,   7, 7,30, CORVAGNO",
      "stazione,   23950, 22,  300,  0, 0, 1,  0,0,0,  4,1,1,   30,   7,12, 0, P.M. LUSTRIGO",
      "stazione,   32550, 26,  300,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, FENARDO",
      "stazione,   35800,  4,  600,  1, 0, 0,  1,1,0,  2,1,1,    0,   7,23, 0, VERDAL",
      "[rallentamenti]",
      "[segnali]",
      "segnale,    6000,   1, 3, 1,  0, 0,    0,  0,0,0, 230",
      "segnale,    7200,   2, 2, 3,  0, 0,    0,  0,0,0, 230",
      "segnale,    8450,   2, 2, 4,  0, 0,    0,  0,0,0, 255",
      "segnale,   16900,   1, 3, 4,  0, 0,    0,  0,0,0,   0",
      "segnale,   18150,   2, 2, 3,  0, 0,    0,  0,0,0,   0",
      "segnale,   21650,   1, 3, 1,  0, 0,    0,  0,0,0,   0",
      "segnale,   22850,   2, 3, 1,  0, 0,    0,  0,0,0, 255",
      "segnale,   30400,   1, 4, 1,  0, 0,    0,  0,0,0,   0",
      "segnale,   31600,   2, 3, 1,  0, 0,    0,  0,0,0,   0",
      "segnale,   32800,   2, 3, 1,  0, 0,    0,  0,0,0, 210",
      "segnale,   34550,   2, 2, 3,  1, 0,    0,  0,0,0, 220",
      "[codici]",
      "[fine]",
  });
}

void dati_treno(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno) {
  riscrivi(p, nome_linea, numero_treno, file_scenario::descrizione_treno, testo_righe(righe_treno(p)));
}

}  // namespace scenario
