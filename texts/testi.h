// The five text writers, each with its built-in line list. Every one writes
// its file whole with the rewrite idiom into the platform's folder.
#ifndef TEXTS_TESTI_H_
#define TEXTS_TESTI_H_

#include <string>

#include "platform/piattaforma.h"
#include "common/righe.h"

namespace scenario {

// The built-in line lists, in the ANSI code page, closed by the end mark.
lista_righe righe_linea(piattaforma& p);
lista_righe righe_treno(piattaforma& p);
lista_righe righe_note(piattaforma& p);
lista_righe righe_rallentamenti(piattaforma& p);
lista_righe righe_scheda(piattaforma& p);

void dati_linea(piattaforma& p, const std::string& nome_linea);
void dati_treno(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno);
void dati_note(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno);
void dati_rallentamenti(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno);
void dati_scheda(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno);

}  // namespace scenario

#endif  // TEXTS_TESTI_H_
