#include "compiler/compila_testi.h"

#include <cerrno>
#include <exception>
#include <filesystem>
#include <memory>
#include <utility>

#include "common/identita.h"
#include "common/limiti.h"
#include "common/nomi.h"
#include "common/rapporto.h"
#include "compiler/compilazione.h"
#include "compiler/diagnostica.h"
#include "compiler/oltre_arresto.h"
#include "compiler/avvisi.h"
#include "compiler/parole.h"
#include "platform/cp1252.h"

namespace scenario {
namespace {

// The longest file name that the common file systems take, in bytes.
constexpr std::size_t kNomeMassimo = 255;

// Two names of the same file, as far as their text tells (links and
// different spellings of the same folder are not seen).
bool stesso_percorso(const std::string& a, const std::string& b) {
  return std::filesystem::path(a).lexically_normal() == std::filesystem::path(b).lexically_normal();
}

// The lines of a text whose first field is a keyword of a record of `d`.
int record_riconosciuti(std::string_view testo, descrizione d) {
  int n = 0;
  std::size_t inizio = 0;
  while (inizio < testo.size()) {
    std::size_t fine = testo.find_first_of("\r\n", inizio);
    if (fine == std::string_view::npos) fine = testo.size();
    const std::string_view riga = testo.substr(inizio, fine - inizio);
    const std::string_view campo = riga.substr(0, riga.find(','));
    if (!intestazione(campo) &&
        (record_di(d, false, campo) != nullptr || (d == descrizione::linea && record_di(d, true, campo) != nullptr))) {
      ++n;
    }
    inizio = fine + 1;
  }
  return n;
}

}  // namespace

std::string descrizioni_scambiate(std::string_view linea, std::string_view treno) {
  const int linea_l = record_riconosciuti(linea, descrizione::linea);
  const int linea_t = record_riconosciuti(linea, descrizione::treno);
  const int treno_l = record_riconosciuti(treno, descrizione::linea);
  const int treno_t = record_riconosciuti(treno, descrizione::treno);
  if (linea_t > linea_l && treno_l > treno_t) {
    return "le due descrizioni sono scambiate: quella data come linea ha " + std::to_string(linea_t) +
           " record del treno, quella data come treno " + std::to_string(treno_l) +
           " record della linea; si danno prima la linea, poi il treno";
  }
  return "";
}

piattaforma_autore::piattaforma_autore(piattaforma& uscita, const std::string& nome_linea,
                                       const std::string& numero_treno, std::string linea, std::string treno)
    : piattaforma_inoltro(uscita) {
  const std::string n_linea = nome_file(*this, nome_linea, numero_treno, file_scenario::descrizione_linea);
  const std::string n_treno = nome_file(*this, nome_linea, numero_treno, file_scenario::descrizione_treno);
  nomi_ = {n_linea, n_treno};
  copie_[n_linea] = std::move(linea);
  copie_[n_treno] = std::move(treno);
}

bool piattaforma_autore::esiste(const std::string& nome) {
  if (in_memoria(nome)) return copie_.count(nome) != 0 && eliminati_.count(nome) == 0;
  return piattaforma_inoltro::esiste(nome);
}

void piattaforma_autore::elimina(const std::string& nome) {
  if (in_memoria(nome)) {
    if (diagnosi_) return;
    if (!esiste(nome)) throw errore_sistema(nome, ENOENT, "No such file or directory");
    eliminati_.insert(nome);
    return;
  }
  piattaforma_inoltro::elimina(nome);
}

void piattaforma_autore::sostituisci(const std::string& temporaneo, const std::string& nome) {
  piattaforma_inoltro::sostituisci(temporaneo, nome);
  for (const std::string& s : scritti) {
    if (s == nome) return;
  }
  scritti.push_back(nome);
}

std::string piattaforma_autore::leggi(const std::string& nome, std::size_t massimo) {
  if (in_memoria(nome)) {
    const auto it = copie_.find(nome);
    if (it == copie_.end() || eliminati_.count(nome) != 0) throw errore_sistema(nome, ENOENT, "No such file or directory");
    if (it->second.size() > massimo) throw errore_sistema(nome, EFBIG, descrizione_troppo_grande(massimo));
    return it->second;
  }
  return piattaforma_inoltro::leggi(nome, massimo);
}

std::string identita_inservibile(piattaforma& p, const identita& id) {
  for (const auto& [cosa, testo] : {std::pair<const char*, const std::string&>{"il nome della linea", id.nome_linea},
                                    std::pair<const char*, const std::string&>{"il numero del treno", id.numero_treno}}) {
    if (testo.empty()) return std::string(cosa) + " è vuoto";
    try {
      p.in_ansi(testo);
    } catch (const std::invalid_argument&) {
      return std::string(cosa) + " \"" + testo + "\" ha caratteri che Windows-1252 non contiene";
    }
    for (char c : testo) {
      const auto b = static_cast<unsigned char>(c);
      if (b < 0x20 || b == 0x7F || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) {
        return std::string(cosa) + " \"" + testo + "\" ha caratteri che un nome di file non ammette (/ \\ : * ? \" < > | o di controllo)";
      }
    }
  }
  for (file_scenario f : {file_scenario::geometria_linea, file_scenario::voci, file_scenario::celle,
                          file_scenario::descrizione_treno}) {
    const std::string nome = nome_semplice(id.nome_linea, id.numero_treno, f);
    if (nome.size() > kNomeMassimo) {
      return "il nome di file \"" + nome + "\" supera i " + std::to_string(kNomeMassimo) + " byte";
    }
  }
  return "";
}

esito_compilazione compila_testi(piattaforma& uscita, const identita& id, std::string linea, std::string treno,
                                 bool geometria) {
  esito_compilazione e;
  e.m.nome_linea = id.nome_linea;
  e.m.numero_treno = id.numero_treno;
  if (std::string perche = identita_inservibile(uscita, id); !perche.empty()) {
    e.stato = kStatoArgomenti;
    e.errore = perche;
    return e;
  }
  if (std::string perche = descrizioni_scambiate(linea, treno); !perche.empty()) {
    e.stato = kStatoArgomenti;
    e.errore = perche;
    return e;
  }
  piattaforma_autore p(uscita, id.nome_linea, id.numero_treno, std::move(linea), std::move(treno));
  try {
    risultato_compilazione r = compila(p, id, geometria);
    e.m = std::move(r.m);
    if (r.sistema) {
      e.stato = kStatoArgomenti;
      e.errore = "impossibile scrivere " + r.sistema->file() + ": " + r.sistema->descrizione();
    } else if (r.rapporto) {
      e.stato = kStatoRapporto;
      e.codice_rapporto = r.rapporto->codice;
      e.rapporto = testo_rapporto(e.codice_rapporto);
    } else {
      e.stato = e.m.guasti.empty() ? kStatoPulito : kStatoGuasti;
    }
    if (!r.sistema) {
      p.per_diagnosi();
      esamina_oltre_arresto(p, e.m);
    }
    // The slips that the tool counts as errors fail a compile that recorded
    // no fault.
    for (const avviso& a : e.m.avvisi) {
      if (e.stato == kStatoPulito && avviso_grave(a.tipo)) e.stato = kStatoGuasti;
    }
  } catch (const std::exception& x) {
    e.stato = kStatoArgomenti;
    e.errore = std::string("compilazione non riuscita: ") + x.what();
  }
  e.scritti = p.scritti;
  return e;
}

esito_compilazione compila_file(const richiesta_compilazione& r) {
  esito_compilazione e;
  auto fallisci = [&e](std::string perche) {
    e.stato = kStatoArgomenti;
    e.errore = std::move(perche);
    return std::move(e);
  };
  if (r.cartella.empty()) return fallisci("la cartella d'uscita è vuota");
  auto sistema = piattaforma_di_sistema(r.cartella);
  // The folder as the naming rule joins it: without a trailing separator.
  std::string cartella = r.cartella;
  const std::string sep = sistema->separatore();
  while (cartella.size() > sep.size() && cartella.compare(cartella.size() - sep.size(), sep.size(), sep) == 0) {
    cartella.resize(cartella.size() - sep.size());
  }
  sistema = piattaforma_di_sistema(cartella);

  if (std::string perche = identita_inservibile(*sistema, r.id); !perche.empty()) return fallisci(perche);
  for (file_scenario f : {file_scenario::geometria_linea, file_scenario::voci, file_scenario::celle}) {
    const std::string uscita = nome_file(*sistema, r.id.nome_linea, r.id.numero_treno, f);
    for (const std::string* ingresso : {&r.linea, &r.treno}) {
      if (stesso_percorso(uscita, *ingresso)) {
        return fallisci("il file d'uscita " + uscita + " è " + *ingresso + ", una delle descrizioni");
      }
    }
  }

  std::string testi[2];
  const std::string* nomi[2] = {&r.linea, &r.treno};
  for (int i = 0; i < 2; ++i) {
    try {
      testi[i] = sistema->leggi(*nomi[i], kMassimoDescrizione);
    } catch (const errore_sistema& x) {
      return fallisci("impossibile leggere " + *nomi[i] + ": " + x.descrizione());
    }
    int riga = 0;
    if (r.utf8) {
      std::optional<std::string> ansi = da_utf8(testi[i], riga);
      if (!ansi) {
        return fallisci(*nomi[i] + ":" + std::to_string(riga) +
                        ": un carattere che Windows-1252 non contiene, o byte che non sono UTF-8");
      }
      testi[i] = std::move(*ansi);
    }
  }
  // Made only once there is something to compile into it.
  try {
    sistema->crea_cartella(cartella);
  } catch (const errore_sistema& x) {
    return fallisci("impossibile creare la cartella d'uscita " + cartella + ": " + x.file() + ": " + x.descrizione());
  }
  return compila_testi(*sistema, r.id, std::move(testi[0]), std::move(testi[1]), r.geometria);
}

std::optional<std::string> da_utf8(const std::string& testo, int& riga_errata) {
  std::string_view t = testo;
  if (t.substr(0, 3) == "\xEF\xBB\xBF") t.remove_prefix(3);
  std::string r;
  r.reserve(t.size());
  int riga = 1;
  std::size_t inizio = 0;
  while (inizio < t.size()) {
    std::size_t fine = t.find('\n', inizio);
    fine = fine == std::string_view::npos ? t.size() : fine + 1;
    try {
      r += utf8_in_cp1252(t.substr(inizio, fine - inizio));
    } catch (const std::invalid_argument&) {
      riga_errata = riga;
      return std::nullopt;
    }
    ++riga;
    inizio = fine;
  }
  return r;
}

}  // namespace scenario
