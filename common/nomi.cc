#include "common/nomi.h"

namespace scenario {

std::string nome_semplice(const std::string& nome_linea, const std::string& numero_treno,
                          file_scenario f) {
  const std::string treno = nome_linea + "_" + numero_treno;
  switch (f) {
    case file_scenario::descrizione_linea: return nome_linea + "_linea.txt";
    case file_scenario::descrizione_treno: return treno + "-.txt";
    case file_scenario::note: return treno + "_" + "note.txt";
    case file_scenario::rallentamenti: return treno + "_" + "rallentamenti.txt";
    case file_scenario::scheda_treno: return treno + "_" + "scheda_treno.txt";
    case file_scenario::geometria_linea: return nome_linea + "_linea.dat";
    case file_scenario::voci: return treno + ".sim";
    case file_scenario::celle: return treno + ".dat";
  }
  return {};
}

std::string nome_file(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno,
                      file_scenario f) {
  return p.cartella_programma() + p.separatore() + nome_semplice(nome_linea, numero_treno, f);
}

void riscrivi(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno,
              file_scenario f, std::string_view contenuto) {
  p.scrivi(nome_file(p, nome_linea, numero_treno, f), contenuto);
}

void riscrivi_a_pezzi(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno,
                      file_scenario f, const std::function<std::string_view()>& prossimo) {
  p.scrivi_a_pezzi(nome_file(p, nome_linea, numero_treno, f), prossimo);
}

}  // namespace scenario
