#include "common/nomi.h"
#include "texts/testi.h"

namespace scenario {

// The line notes for the driver. The places of the train's run (VELMO to
// VERDAL) are the stations of the train description; the rest of the line,
// double track from VERDAL to MONTEGRIEVE, has places of its own. Lines
// that end in a blank are sentences carried on to the next line.
lista_righe righe_note(piattaforma& p) {
  return riempi_righe(p, {
      "Caratteristiche della linea VELMO-VERDAL-MONTEGRIEVE",
      "",
      "Trazione elettrica intera tratta.",
      "La linea è a semplice binario da VELMO a VERDAL e a doppio binario da VERDAL a MONTEGRIEVE. ",
      "Sistemi di esercizio: DIRIGENZA LOCALE con",
      "Blocco Elettrico Manuale da VELMO a PRIMELLA",
      "Blocco Automatico Conta Assi da PRIMELLA a P.M. LUSTRIGO",
      "Blocco Automatico a correnti fisse da P.M. LUSTRIGO a VERDAL",
      "Blocco Elettrico Manuale da VERDAL a CASTELVARO",
      "Blocco Automatico Conta Assi da CASTELVARO a SOLANDRA",
      "Blocco Elettrico Manuale da SOLANDRA ad ARVENZA",
      "Blocco Automatico a correnti fisse con segnalamento a due aspetti da ARVENZA a MONTEGRIEVE",
      "Non è attiva la Ripetizione Segnali",
      "Tutte le STAZIONI sono munite di doppio segnalamento di protezione e partenza.",
      "PRIMELLA: la limitazione di velocità a 30 km/h dovuta a caratteristiche di tracciato in",
      "ingresso/uscita lato Verdal viene fornita con l'aspetto dei segnali.",
      "SOLANDRA: la limitazione di velocità a 60 km/h dovuta a caratteristiche di tracciato in ",
      "ingresso/uscita lato Montegrieve viene fornita con l'aspetto dei segnali.",
      "Le stazioni di ARVENZA e MONTEGRIEVE sono dotate di segnali di protezione anche in",
      "arrivo dal binario illegale (impianti 'tipo B' OS 17/1981).",
      "FERMATE presenziate protette da segnali:",
      "FENARDO, segnali di PBA hanno anche funzione di protezione della fermata,",
      "TASCAVIA, posto di blocco intermedio manuale munito di doppio segnalamento (ex stazione),",
      "CORVAGNO, segnali di PBI BCA hanno anche funzione di protezione della fermata,",
      "BORGO TESSANO, segnali di protezione della fermata che non influiscono sul distanziamento,",
      "CASE ROSSANE, posto di blocco intermedio manuale, i segnali proteggono la fermata.",
      "POSTO DI MOVIMENTO LUSTRIGO, telecomandato da VERDAL, munito di binario di incrocio e doppio segnalamento.",
      "ZELMORIO PAESE, ORBENTE, VASCOLINO, SAN FELCIANO sono fermate impresenziate ",
      "non munite di segnali.",
      "Esistono 42 passaggi a livello tutti indicati nella simulazione.",
      "Sono indicate le linee afferenti come diramazioni/confluenze.",
      "I cartelli indicatori di velocità massima non sono presenti in realtà.",
      "La linea, con tratti in ORSENTINA e in CALVARESE, è parte integrante della direttrice ",
      "PORTO SELVINO-VELMO-MONTEGRIEVE-PASSO GRIEVE.",
      "Pur attraversando una pianura, la linea presenta lievi pendenze nei tratti iniziale e finale.",
      "",
      "",
      "Caratteristiche del treno 24817:",
      "",
      "Regionale VELMO-VERDAL, previsto con E656; la marcia è caratterizzata dai normali problemi di incrocio ",
      "tipici di una linea a binario unico.",
      "",
      "",
      "",
      "(Dato che la tratta da VELMO a VERDAL è in realtà a binario unico, il tracciato simulato di ",
      "tale tratta non è attendibile: gli adattamenti introdotti privilegiano gli aspetti dei ",
      "segnali che contano per la condotta del treno).",
      "",
      "",
  });
}

void dati_note(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno) {
  riscrivi(p, nome_linea, numero_treno, file_scenario::note, testo_righe(righe_note(p)));
}

}  // namespace scenario
