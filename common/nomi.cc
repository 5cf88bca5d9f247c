#include "common/nomi.h"

#include "platform/percorsi.h"

namespace scenario {

std::string_view suffisso(file_scenario f) {
  switch (f) {
    case file_scenario::descrizione_linea: return "_linea.txt";
    case file_scenario::descrizione_treno: return "-.txt";
    case file_scenario::note: return "_note.txt";
    case file_scenario::rallentamenti: return "_rallentamenti.txt";
    case file_scenario::scheda_treno: return "_scheda_treno.txt";
    case file_scenario::geometria_linea: return "_linea.dat";
    case file_scenario::voci: return ".sim";
    case file_scenario::celle: return ".dat";
  }
  return {};
}

bool del_treno(file_scenario f) {
  return f != file_scenario::descrizione_linea && f != file_scenario::geometria_linea;
}

std::string nome_semplice(const std::string& nome_linea, const std::string& numero_treno,
                          file_scenario f) {
  std::string nome = nome_linea;
  if (del_treno(f)) nome += "_" + numero_treno;
  return nome += suffisso(f);
}

std::string nome_file(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno,
                      file_scenario f) {
  return nome_in_cartella(p, nome_semplice(nome_linea, numero_treno, f));
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
