// The command `scenario decompila` (alias `decompile`): the decompiler's
// reconstruction and proof run on the files an author names, with the two
// descriptions written into a folder.
#include "tool/decompila.h"

#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "common/json.h"
#include "common/mostra.h"
#include "common/nomi.h"
#include "common/uscite.h"
#include "compiler/compila_testi.h"
#include "decompiler/decompila.h"
#include "platform/percorsi.h"
#include "platform/piattaforma.h"
#include "reader/decodifica.h"
#include "reader/stampa.h"
#include "tool/autori.h"
#include "tool/argomenti.h"

namespace scenario {
namespace {

std::string n(int64_t v) { return std::to_string(v); }

}  // namespace
// ---------------------------------------------------------------------------
// The command

const char* const kUsoDecompila =
    "uso: scenario decompila FILE.sim FILE.dat [FILE_linea.dat] [--out CARTELLA] [--json]\n"
    "                        [--force]\n"
    "\n"
    "Ricava dai tre file binari di uno scenario compilato la descrizione della\n"
    "linea e quella del treno, nella forma di quelle del programma (sezioni nel\n"
    "loro ordine, un record per riga, Windows-1252, CR LF), e le scrive come\n"
    "linea.txt e treno.txt nella CARTELLA (predefinita: la cartella corrente).\n"
    "Poi le ricompila in memoria e confronta i file ottenuti con quelli dati:\n"
    "identici, lo dice; altrimenti elenca ogni voce, cella o riga della geometria\n"
    "che differisce, con posizione e campo. Senza il file della geometria la\n"
    "linea non ha curve e il confronto riguarda gli altri due file.\n"
    "\n"
    "opzioni:\n"
    "  --out CARTELLA   dove scrivere linea.txt e treno.txt (creata se manca)\n"
    "  --json           il confronto in JSON sull'uscita standard\n"
    "  --force          sostituisce linea.txt e treno.txt se esistono già\n"
    "\n"
    "Le due descrizioni si scrivono insieme, solo dopo che entrambi i nomi sono\n"
    "stati controllati: senza --force nessuna delle due deve esistere.\n"
    "\n"
    "Stato d'uscita: 0 ricompilati identici byte per byte, 1 descrizioni scritte\n"
    "ma i file ricompilati differiscono (o la ricompilazione non dà file), 3\n"
    "argomenti inservibili, file illeggibili, danneggiati o estranei (gli stessi\n"
    "errori di \"decodifica\", e un tipo di cella che il compilatore non scrive o\n"
    "dimensioni che non corrispondono alla lunghezza della linea).\n";

namespace {

std::string luogo(const differenza& d) {
  switch (d.g) {
    case differenza::genere::dimensione: return "dimensione";
    case differenza::genere::voce: return "voce " + n(d.indice) + " " + d.campo;
    case differenza::genere::cella:
      return "cella " + n(d.indice) + " (" + n(50 * d.indice) + " m) " + d.campo;
    case differenza::genere::geometria:
      return (d.fino > d.indice ? "metri " + n(d.indice) + "-" + n(d.fino) : "metro " + n(d.indice)) + " " +
             d.campo + (d.fino > d.indice ? " (dal primo)" : "");
  }
  return "";
}

const char* genere_json(differenza::genere g) {
  switch (g) {
    case differenza::genere::dimensione: return "dimensione";
    case differenza::genere::voce: return "voce";
    case differenza::genere::cella: return "cella";
    case differenza::genere::geometria: return "geometria";
  }
  return "";
}

}  // namespace

int comando_decompila(const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
  if (chiede_aiuto(a)) {
    out << kUsoDecompila;
    return kStatoPulito;
  }
  argomenti arg;
  try {
    arg = leggi_argomenti(a, {{{"--out"}, true}, {{"--json"}, false}, {{"--force"}, false}});
  } catch (const errore_argomenti& e) {
    return inservibile(err, "decompila", e.what());
  }
  const bool in_json = arg.ha("--json");
  std::map<tipo_file, std::string> nomi;
  for (const std::string& f : arg.posizionali) {
    const std::optional<tipo_file> t = tipo_da_nome(f);
    if (!t) return inservibile(err, "decompila", "tipo di file sconosciuto: " + f + " (servono .sim, .dat, _linea.dat)");
    if (!nomi.emplace(*t, f).second) {
      return inservibile(err, "decompila", std::string("due file ") + nome_tipo_file(*t) + ": " + f);
    }
  }
  if (!nomi.count(tipo_file::voci) || !nomi.count(tipo_file::celle)) {
    return inservibile(err, "decompila", "servono il file delle voci (.sim) e quello delle celle (.dat)");
  }
  const bool con_geometria = nomi.count(tipo_file::geometria) != 0;
  const std::string cartella = arg.valore("--out").value_or(".");
  if (cartella.empty()) return inservibile(err, "decompila", "la cartella d'uscita è vuota");
  auto sistema = piattaforma_in_cartella(cartella);
  const std::string linea = nome_in_cartella(*sistema, "linea.txt");
  const std::string treno = nome_in_cartella(*sistema, "treno.txt");
  std::vector<std::string> ingressi;
  for (const auto& [t, nome] : nomi) ingressi.push_back(nome);
  // Every output is checked before anything is read or written.
  if (std::string perche = ingresso_tra_le_uscite(*sistema, ingressi, {linea, treno}, "uno dei file binari letti"); !perche.empty()) {
    return inservibile(err, "decompila", perche);
  }
  for (const std::string* u : {&linea, &treno}) {
    try {
      sistema->verifica_sostituibile(*u);
    } catch (const errore_sistema& x) {
      return inservibile(err, "decompila", "impossibile scrivere " + *u + ": " + x.descrizione() +
                                               "; nessuna descrizione scritta");
    }
    if (!arg.ha("--force") && sistema->identita(*u, false)) {
      return inservibile(err, "decompila", *u + " esiste già (--force per sostituirlo); nessuna descrizione scritta");
    }
  }
  for (const std::string& a : avvisi_insiemi_incompleti(*sistema, ingressi)) {
    err << "scenario decompila: attenzione: " << a << '\n';
  }

  file_scenario_binari f;
  f.con_geometria = con_geometria;
  for (const auto& [t, nome] : nomi) {
    try {
      // Through the size limits of each kind, as decodifica reads them; the
      // geometry, tens of megabytes on a long line, is read in pieces.
      if (t == tipo_file::geometria) {
        f.geometria_a_pezzi = apri_binario(*sistema, nome, t);
        continue;
      }
      (t == tipo_file::voci ? f.voci : f.celle) = leggi_binario(*sistema, nome, t);
    } catch (const errore_sistema&) {
      return lettura_fallita(err, nome);
    } catch (const errore_dimensione&) {
      return lettura_fallita(err, nome);
    } catch (const std::bad_alloc&) {
      return lettura_fallita(err, nome);
    }
  }

  esito_decompilazione e;
  try {
    const std::array<voce, kNumeroVoci> voci = decodifica_voci(f.voci);
    e = decompila_e_verifica(f, ricompilatore_in_memoria(voci, {linea, treno}));
  } catch (const errore_decodifica& x) {
    const auto* s = dynamic_cast<const errore_scenario*>(&x);
    const tipo_file t = s ? s->file() : tipo_file::voci;
    const std::string messaggio =
        std::string("file ") + nome_tipo_file(t) + " malformato all'offset " + n(static_cast<int64_t>(x.offset())) +
        ": " + x.motivo();
    err << nomi[t] << ": errore: " << messaggio << '\n';
    if (in_json) {
      json j;
      j["file"] = nomi[t];
      j["errore"]["offset"] = x.offset();
      j["errore"]["messaggio"] = messaggio;
      scrivi_json(out, j);
      out << '\n';
    }
    return kStatoArgomenti;
  } catch (const errore_sistema& x) {
    // The geometry, read as it is compared, failed on the way.
    err << x.file() << ": errore: impossibile leggere: " << x.descrizione() << '\n';
    return kStatoArgomenti;
  }

  // The folder is made when missing; the two descriptions go in as one
  // set, under the folder's hold.
  std::vector<std::string> fatte;
  try {
    fatte = sistema->crea_cartella(sistema->cartella_programma());
  } catch (const errore_sistema& x) {
    err << "scenario decompila: impossibile creare la cartella " << cartella << ": " << x.file() << ": "
        << x.descrizione() << '\n';
    return kStatoArgomenti;
  }
  const std::string scritto = scrivi_descrizioni(*sistema, sistema->cartella_programma(), arg.ha("--force"),
                                                 {{linea, e.testi.linea}, {treno, e.testi.treno}});
  if (!scritto.empty()) {
    for (auto it = fatte.rbegin(); it != fatte.rend(); ++it) {
      try {
        sistema->elimina_cartella(*it);
      } catch (const errore_sistema&) {
        break;
      }
    }
    err << "scenario decompila: " << scritto << '\n';
    return kStatoArgomenti;
  }
  for (const diagnosi& d : e.guasti) err << riga_diagnosi(d) << '\n';

  const int stato = e.identico ? kStatoPulito : kStatoGuasti;
  std::vector<std::string> confrontati = {nomi[tipo_file::voci], nomi[tipo_file::celle]};
  if (con_geometria) confrontati.push_back(nomi[tipo_file::geometria]);
  if (in_json) {
    json j;
    j["voci"] = nomi[tipo_file::voci];
    j["celle"] = nomi[tipo_file::celle];
    j["geometria"] = con_geometria ? json(nomi[tipo_file::geometria]) : json(nullptr);
    j["linea"] = linea;
    j["treno"] = treno;
    j["stato"] = stato;
    j["ricompilato"] = e.ricompilato;
    j["identico"] = e.identico;
    j["perche"] = e.perche.empty() ? json(nullptr) : json(e.perche);
    j["note"] = e.testi.note;
    j["guasti"] = json::array();
    for (const diagnosi& g : e.guasti) j["guasti"].push_back(json_diagnosi(g));
    j["differenze"] = json::array();
    for (const differenza& d : e.differenze) {
      json x;
      x["file"] = nomi[d.file];
      x["tipo"] = genere_json(d.g);
      x["indice"] = d.indice;
      x["fino"] = d.fino;
      x["metri"] = d.g == differenza::genere::cella ? json(50 * d.indice) : json(nullptr);
      x["campo"] = d.campo;
      x["originale"] = d.originale;
      x["ricompilato"] = d.ricompilato;
      j["differenze"].push_back(std::move(x));
    }
    scrivi_json(out, j);
    out << '\n';
    return stato;
  }

  out << "scritto: " << linea << "\nscritto: " << treno << '\n';
  for (const std::string& x : e.testi.note) out << "nota: " << mostrabile(x) << '\n';
  if (!con_geometria) {
    out << "senza il file della geometria: la linea non ha curve e il confronto riguarda solo "
        << nomi[tipo_file::voci] << " e " << nomi[tipo_file::celle] << '\n';
  }
  std::string elenco;
  for (const std::string& x : confrontati) elenco += (elenco.empty() ? "" : ", ") + x;
  if (e.identico) {
    out << "ricompilate, le descrizioni danno file identici byte per byte: " << elenco << '\n';
  } else if (!e.ricompilato) {
    out << "ricompilate, le descrizioni non danno file: " << e.perche << '\n';
  } else {
    out << "ricompilate, le descrizioni danno file diversi (" << e.differenze.size()
        << (e.differenze.size() == 1 ? " differenza)" : " differenze)")
        << (e.perche.empty() ? "" : ": " + e.perche) << '\n';
    for (const differenza& d : e.differenze) {
      out << nomi[d.file] << ": " << luogo(d) << ": " << mostrabile(d.originale) << " nel file, "
          << mostrabile(d.ricompilato) << " ricompilato\n";
    }
  }
  return stato;
}

}  // namespace scenario
