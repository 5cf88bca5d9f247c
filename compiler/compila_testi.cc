#include "compiler/compila_testi.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <memory>
#include <utility>

#include "common/identita.h"
#include "common/limiti.h"
#include "common/nomi.h"
#include "common/rapporto.h"
#include "common/uscite.h"
#include "compiler/compilazione.h"
#include "compiler/diagnostica.h"
#include "compiler/oltre_arresto.h"
#include "compiler/avvisi.h"
#include "compiler/parole.h"
#include "platform/cp1252.h"
#include "platform/percorsi.h"

namespace scenario {
namespace {

// The longest file name that the common file systems take, in bytes.
constexpr std::size_t kNomeMassimo = 255;

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

std::string ingresso_tra_le_uscite(piattaforma& p, const std::vector<std::string>& ingressi,
                                   const std::vector<std::string>& uscite, const std::string& cosa) {
  for (const std::string& u : uscite) {
    // The name itself: a link there is replaced, not what it points to.
    const std::optional<identita_file> iu = p.identita(u, false);
    for (const std::string& i : ingressi) {
      const std::optional<identita_file> ii = p.identita(i, true);
      if (stesso_percorso(u, i) || (iu && ii && *iu == *ii)) {
        return "il file d'uscita " + u + " è " + i + ", " + cosa + ": non lo sostituisco";
      }
    }
  }
  return "";
}

std::string descrizioni_scambiate(std::string_view linea, std::string_view treno) {
  // The train description is read only when the line looks like one: the
  // check runs before every compile of the tool and of the decompiler.
  const int linea_l = record_riconosciuti(linea, descrizione::linea);
  const int linea_t = record_riconosciuti(linea, descrizione::treno);
  if (linea_t <= linea_l) return "";
  const int treno_l = record_riconosciuti(treno, descrizione::linea);
  const int treno_t = record_riconosciuti(treno, descrizione::treno);
  if (treno_l > treno_t) {
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
  // The set's journal, and the earlier files put back after a failure, are
  // not files the compile wrote.
  auto base = [](const std::string& n) {
    const std::size_t s = n.find_last_of("/\\");
    return s == std::string::npos ? n : n.substr(s + 1);
  };
  const std::string t = base(temporaneo);
  if (base(nome).rfind(".scenario-", 0) == 0 || (e_temporaneo(t) && t.size() > 8 && t.substr(t.size() - 8) == ".vecchio")) {
    return;
  }
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
  // A set that failed was put back as it was: nothing of it was written.
  if (e.stato != kStatoArgomenti) e.scritti = p.scritti;
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
  auto sistema = piattaforma_in_cartella(r.cartella);
  const std::string cartella = sistema->cartella_programma();

  if (std::string perche = identita_inservibile(*sistema, r.id); !perche.empty()) return fallisci(perche);
  std::vector<std::string> uscite;
  for (file_scenario f : {file_scenario::geometria_linea, file_scenario::voci, file_scenario::celle}) {
    uscite.push_back(nome_file(*sistema, r.id.nome_linea, r.id.numero_treno, f));
  }
  if (std::string perche = ingresso_tra_le_uscite(*sistema, {r.linea, r.treno}, uscite, "una delle descrizioni"); !perche.empty()) {
    return fallisci(perche);
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
    std::string perche;
    bool utf8 = r.utf8;
    if (std::optional<std::string> u = da_utf16(testi[i], riga, perche)) {
      testi[i] = std::move(*u);
      utf8 = true;
    } else if (!perche.empty()) {
      return fallisci(*nomi[i] + (riga > 0 ? ":" + std::to_string(riga) : std::string()) + ": " + perche);
    }
    if (utf8) {
      std::optional<std::string> ansi = da_utf8(testi[i], riga, &perche);
      if (!ansi) return fallisci(*nomi[i] + ":" + std::to_string(riga) + ": " + perche);
      testi[i] = std::move(*ansi);
    }
  }
  // Made only once there is something to compile into it, and removed
  // again when nothing was written into it.
  std::vector<std::string> fatte;
  try {
    fatte = sistema->crea_cartella(cartella);
  } catch (const errore_sistema& x) {
    return fallisci("impossibile creare la cartella d'uscita " + cartella + ": " + x.file() + ": " + x.descrizione());
  }
  auto togli_cartelle = [&] {
    for (auto it = fatte.rbegin(); it != fatte.rend(); ++it) {
      try {
        sistema->elimina_cartella(*it);
      } catch (const errore_sistema&) {
        break;  // not empty: something else is in it
      }
    }
  };
  std::unique_ptr<blocco_cartella> tenuta;
  std::string ripristino;
  try {
    tenuta = sistema->blocca(cartella, r.attesa_ms);
    ripristino = ripristina_cartella(*sistema, cartella);
  } catch (const errore_cartella_occupata&) {
    togli_cartelle();
    return fallisci(cartella + ": " + descrizione_cartella_occupata());
  } catch (const errore_sistema& x) {
    togli_cartelle();
    return fallisci("impossibile completare l'insieme interrotto in " + cartella + ": " + x.file() + ": " +
                    x.descrizione());
  }
  // Checked again under the hold: the names may have changed meanwhile.
  if (std::string perche = ingresso_tra_le_uscite(*sistema, {r.linea, r.treno}, uscite, "una delle descrizioni"); !perche.empty()) {
    return fallisci(perche);
  }
  e = compila_testi(*sistema, r.id, std::move(testi[0]), std::move(testi[1]), r.geometria);
  e.ripristino = std::move(ripristino);
  if (e.scritti.empty()) {
    // The hold first: on Windows it is a file in the folder, gone on close.
    tenuta.reset();
    togli_cartelle();
  }
  return e;
}

std::optional<std::string> da_utf16(const std::string& testo, int& riga_errata, std::string& perche) {
  perche.clear();
  riga_errata = 0;
  const bool le = testo.compare(0, 2, "\xFF\xFE") == 0;
  const bool be = testo.compare(0, 2, "\xFE\xFF") == 0;
  if (!le && !be) {
    // Text of this format is mostly ASCII: in UTF-16 every other byte of
    // the first characters is zero.
    int zeri[2] = {0, 0};
    const std::size_t n = std::min<std::size_t>(testo.size(), 64);
    for (std::size_t k = 0; k < n; ++k) zeri[k % 2] += testo[k] == '\0';
    if (n >= 8 && (zeri[0] * 4 >= static_cast<int>(n) || zeri[1] * 4 >= static_cast<int>(n))) {
      perche = "il file sembra in UTF-16 senza segno d'ordine dei byte: salvarlo in Windows-1252, o in UTF-8 "
               "(--codifica utf-8), o in UTF-16 con il segno d'ordine";
    }
    return std::nullopt;
  }
  auto unita = [&](std::size_t k) -> char32_t {
    const auto a = static_cast<unsigned char>(testo[k]), b = static_cast<unsigned char>(testo[k + 1]);
    return le ? static_cast<char32_t>(a | (b << 8)) : static_cast<char32_t>((a << 8) | b);
  };
  std::string u;
  int riga = 1;
  auto errato = [&](const char* cosa) {
    riga_errata = riga;
    perche = std::string("UTF-16 non valido: ") + cosa;
    return std::nullopt;
  };
  for (std::size_t k = 2; k < testo.size(); k += 2) {
    if (k + 1 >= testo.size()) return errato("un numero dispari di byte");
    char32_t c = unita(k);
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (k + 3 >= testo.size()) return errato("surrogato senza il suo seguito");
      const char32_t d = unita(k + 2);
      if (d < 0xDC00 || d > 0xDFFF) return errato("surrogato senza il suo seguito");
      c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
      k += 2;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return errato("surrogato isolato");
    }
    if (c == '\n') ++riga;
    if (c < 0x80) {
      u += static_cast<char>(c);
    } else if (c < 0x800) {
      u += static_cast<char>(0xC0 | (c >> 6));
      u += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      u += static_cast<char>(0xE0 | (c >> 12));
      u += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      u += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      u += static_cast<char>(0xF0 | (c >> 18));
      u += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      u += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      u += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return u;
}

std::optional<std::string> da_utf8(const std::string& testo, int& riga_errata, std::string* perche) {
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
    } catch (const std::invalid_argument& e) {
      riga_errata = riga;
      if (perche) {
        const std::string_view m = e.what();
        *perche = m.rfind("UTF-8", 0) == 0 ? std::string(m) + " (byte che non sono UTF-8 come si deve)"
                                           : "un carattere che Windows-1252 non contiene (" + std::string(m) + ")";
      }
      return std::nullopt;
    }
    ++riga;
    inizio = fine;
  }
  return r;
}

}  // namespace scenario
