#include "lsp/diagnostiche.h"

#include <optional>
#include <stdexcept>

#include "common/identita.h"
#include "common/limiti.h"
#include "compiler/compila_testi.h"
#include "compiler/diagnostica.h"
#include "lsp/protocollo.h"
#include "platform/cp1252.h"
#include "platform/piattaforma_memoria.h"

namespace scenario::lsp {
namespace {

// The compiled files are let go as they are written: only the diagnostics
// are wanted.
struct senza_file : piattaforma_inoltro {
  using piattaforma_inoltro::piattaforma_inoltro;
  std::string scrivi_temporaneo(const std::string& nome, const std::function<std::string_view()>& prossimo) override {
    while (!prossimo().empty()) {
    }
    return nome;
  }
  std::string scrivi_temporaneo_posizionato(const std::string& nome,
                                            const std::function<pezzo_posizionato()>& prossimo) override {
    while (!prossimo().byte.empty()) {
    }
    return nome;
  }
  void sostituisci(const std::string&, const std::string&) override {}
};

// The span of a line's content, without outer blanks (the whole line when
// it is blank).
void sulla_riga(diagnostica& d, const std::vector<std::string_view>& righe, int riga) {
  d.riga = riga < 0 ? 0 : riga;
  if (static_cast<std::size_t>(d.riga) >= righe.size()) {
    d.riga = righe.empty() ? 0 : static_cast<int>(righe.size()) - 1;
  }
  const std::string_view t = righe.empty() ? std::string_view() : righe[static_cast<std::size_t>(d.riga)];
  std::size_t a = 0, b = t.size();
  while (a < b && (t[a] == ' ' || t[a] == '\t')) ++a;
  while (b > a && (t[b - 1] == ' ' || t[b - 1] == '\t')) --b;
  if (a == b) a = 0, b = t.size();
  d.da = a;
  d.a = b;
}

// The text in Windows-1252, or the diagnostics of every line holding a
// character that Windows-1252 cannot hold (the character marked).
std::optional<std::string> in_cp1252(std::string_view testo, const std::vector<std::string_view>& righe,
                                     std::vector<diagnostica>& guasti) {
  std::string_view t = testo;
  if (t.substr(0, 3) == "\xEF\xBB\xBF") t.remove_prefix(3);
  try {
    return utf8_in_cp1252(t);
  } catch (const std::invalid_argument&) {
  }
  for (std::size_t n = 0; n < righe.size(); ++n) {
    const std::string_view riga = righe[n];
    for (std::size_t i = 0; i < riga.size();) {
      const auto b = static_cast<unsigned char>(riga[i]);
      const std::size_t k = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
      const std::string_view carattere = riga.substr(i, k);
      try {
        utf8_in_cp1252(carattere);
      } catch (const std::invalid_argument&) {
        diagnostica d;
        d.riga = static_cast<int>(n);
        d.da = i;
        d.a = std::min(riga.size(), i + k);
        d.codice = "codifica";
        d.messaggio = "\"" + std::string(carattere) +
                      "\": un carattere che Windows-1252 non contiene; la descrizione si salva in Windows-1252";
        guasti.push_back(std::move(d));
        break;  // one a line
      }
      i += k;
    }
  }
  if (guasti.empty()) {
    diagnostica d;
    sulla_riga(d, righe, 0);
    d.codice = "codifica";
    d.messaggio = "byte che non sono UTF-8";
    guasti.push_back(std::move(d));
  }
  return std::nullopt;
}

}  // namespace

std::array<std::vector<diagnostica>, 2> diagnostica_coppia(const testo_coppia& linea, const testo_coppia& treno,
                                                            const opzioni_diagnostica& o) {
  std::array<std::vector<diagnostica>, 2> r;
  const testo_coppia* testi[2] = {&linea, &treno};
  std::vector<std::string_view> righe[2];
  std::string ansi[2];
  bool compilabile = true;
  for (int f = 0; f < 2; ++f) {
    righe[f] = righe_di(testi[f]->testo);
    if (!testi[f]->presente) continue;
    std::optional<std::string> a = in_cp1252(testi[f]->testo, righe[f], r[static_cast<std::size_t>(f)]);
    if (!a) {
      compilabile = false;
      continue;
    }
    // Refused as the compiler refuses a description read from disk.
    if (a->size() > kMassimoDescrizione) {
      diagnostica d;
      sulla_riga(d, righe[f], 0);
      d.codice = "dimensione";
      d.messaggio = descrizione_troppo_grande(kMassimoDescrizione);
      r[static_cast<std::size_t>(f)].push_back(std::move(d));
      compilabile = false;
      continue;
    }
    ansi[f] = std::move(*a);
  }
  if (!compilabile) return r;

  piattaforma_memoria memoria;
  senza_file uscita(memoria);
  const esito_compilazione e = compila_testi(uscita, identita_incorporata(), std::move(ansi[0]), std::move(ansi[1]), false);
  for (const diagnosi& x : diagnosi_del_modello(e.m, {"1", "2"})) {
    // The train's diagnostics mean nothing when its partner stands in empty,
    // nor the line's when the line is missing.
    const int f = x.file == "2" ? 1 : 0;
    if (!testi[f]->presente) continue;
    diagnostica d;
    // Faults without a line (the track's completion) belong to the line.
    sulla_riga(d, righe[f], x.riga - 1);
    d.g = x.errore || o.severo ? gravita::errore : gravita::avviso;
    const std::string non_compilato = x.compilato ? "" : "(non compilato) ";
    if (!x.avviso) {
      d.codice = std::to_string(x.codice);
      d.codice_numerico = true;
      d.messaggio = "codice " + d.codice + (x.con_posizione ? " a " + std::to_string(x.posizione) + " m" : "") +
                    ": " + non_compilato + x.testo;
    } else {
      d.codice = nome_avviso(x.codice);
      d.messaggio = "[" + d.codice + "] " + non_compilato + x.testo;
    }
    // The record holding a cell, and any other record a diagnosis names.
    for (const luogo_correlato& c : x.correlati) {
      if (c.riga <= 0 || (c.file != "1" && c.file != "2")) continue;
      d.collegati.push_back({c.file == "2" ? 1 : 0, c.riga - 1, c.testo});
    }
    r[static_cast<std::size_t>(f)].push_back(std::move(d));
  }
  if (e.stato == kStatoRapporto && testi[0]->presente) {
    diagnostica d;
    const int f = e.m.sorgente_file == 2 && testi[1]->presente ? 1 : 0;
    sulla_riga(d, righe[f], e.m.sorgente_file == f + 1 ? e.m.sorgente_riga - 1 : 0);
    d.codice = "rapporto";
    d.messaggio = "\"" + e.rapporto + "\": " + significato_rapporto(e.codice_rapporto) +
                  " (nessun file sarebbe scritto)";
    r[static_cast<std::size_t>(f)].push_back(std::move(d));
  } else if (e.stato == kStatoArgomenti) {
    diagnostica d;
    sulla_riga(d, righe[0], 0);
    d.codice = "compilazione";
    d.messaggio = e.errore;
    r[testi[0]->presente ? 0 : 1].push_back(std::move(d));
  }
  return r;
}

}  // namespace scenario::lsp
