#include "tool/comandi.h"

#include <exception>
#include <functional>
#include <set>
#include <sstream>

#include "common/mostra.h"
#include "common/uscite.h"
#include "common/versione.h"
#include "platform/cp1252.h"
#include "platform/piattaforma.h"
#include "tool/argomenti.h"
#include "tool/autori.h"
#include "compiler/compila_testi.h"
#include "reader/decodifica.h"
#include "tool/decompila.h"
#include "tool/servizio.h"
#include "compiler/diagnostica.h"
#include "tool/grafico_comando.h"
#include "reader/identita_dai_nomi.h"
#include "common/json.h"
#include "reader/piano_a_pezzi.h"
#include "reader/stampa.h"
#include "platform/piattaforma_memoria.h"
#include "common/limiti.h"
#include "common/righe.h"
#include "texts/testi.h"

namespace scenario {
namespace {

constexpr const char* kUso =
    "uso: scenario COMANDO [OPZIONI] ...\n"
    "\n"
    "Compila le descrizioni di una linea e di un treno nei tre file binari del\n"
    "simulatore, con la diagnostica completa, e mostra che cosa contengono i file.\n"
    "\n"
    "comandi:\n"
    "  compila, compile       compila LINEA.txt e TRENO.txt nei tre file binari\n"
    "  decodifica, decode     mostra il contenuto di file binari compilati\n"
    "  grafico, chart         disegna lo scenario compilato in una pagina SVG\n"
    "  vista, view            la vista interattiva dello scenario, una pagina HTML\n"
    "  formato, format        descrive i record delle descrizioni (docs/formato.md)\n"
    "  nuovo, new             scrive una coppia di descrizioni da cui partire\n"
    "  decompila, decompile   ricava dai file binari le due descrizioni, provate\n"
    "                         ricompilandole\n"
    "  lsp                    server per gli editor (Language Server Protocol)\n"
    "\n"
    "\"scenario COMANDO --help\" descrive ciascun comando; \"scenario --version\" dice la\n"
    "versione.\n"
    "Stato d'uscita: 0 compilazione pulita, 1 guasti registrati (file scritti),\n"
    "2 rapporto d'errore (nessun file scritto), 3 argomenti inservibili o file\n"
    "che non si possono leggere o scrivere.\n";

constexpr const char* kUsoCompila =
    "uso: scenario compila LINEA.txt TRENO.txt [--out CARTELLA] [--line-name NOME]\n"
    "                      [--train NUMERO] [--no-geometry] [--json]\n"
    "                      [--severo] [--codifica utf-8]\n"
    "\n"
    "Compila la descrizione della linea e quella del treno come fa il programma, e\n"
    "scrive nella CARTELLA (predefinita: la cartella corrente; creata se manca) i file\n"
    "NOME_linea.dat (geometria), NOME_NUMERO.sim (voci) e NOME_NUMERO.dat (celle).\n"
    "I due file dati non vengono mai modificati né cancellati.\n"
    "\n"
    "opzioni:\n"
    "  --out CARTELLA      cartella dei file compilati, creata con le cartelle\n"
    "                      sopra di essa che mancano\n"
    "  --line-name NOME    nome della linea (predefinito: \"Velmo - Montegrieve\")\n"
    "  --train NUMERO      numero del treno (predefinito: \"24817\")\n"
    "  --no-geometry       non calcola né scrive la geometria della linea\n"
    "  --json              la diagnostica in JSON sull'uscita standard\n"
    "  --severo, --strict  gli avvisi contano come guasti per lo stato d'uscita\n"
    "  --codifica utf-8    le descrizioni sono in UTF-8 (--encoding); un carattere\n"
    "                      che Windows-1252 non contiene è rifiutato con la riga\n"
    "\n"
    "Ogni guasto e ogni avviso va sull'errore standard, nell'ordine in cui si\n"
    "presenta, nella forma \"FILE:RIGA: errore: codice C a P m: significato\".\n"
    "I guasti del completamento del tracciato (11, 12, 13) non hanno riga e\n"
    "compaiono come \"scenario: errore: codice C a P m: ...\".\n"
    "Stato d'uscita: 0 pulita, 1 guasti (file scritti), 2 rapporto d'errore\n"
    "(nessun file scritto), 3 argomenti o file inservibili.\n";

constexpr const char* kUsoDecodifica =
    "uso: scenario decodifica FILE... [--kind TIPO] [--from METRI] [--to METRI]\n"
    "                         [--all | --oggetti] [--json | --csv]\n"
    "\n"
    "Mostra il contenuto di file compilati. Il tipo si riconosce dal nome:\n"
    "\"_linea.dat\" la geometria della linea, \".sim\" le voci, ogni altro \".dat\"\n"
    "le celle del tracciato; --kind lo impone (geometria|geometry, voci|items,\n"
    "celle|track).\n"
    "\n"
    "  voci        le voci non vuote, con i nomi dei campi (--all: tutte le 87)\n"
    "  celle       le celle che contengono qualcosa, con posizione in metri, tipo\n"
    "              e campi (--all: anche quelle vuote); --from/--to le limitano\n"
    "  geometria   il conteggio delle etichette e, con --from/--to, le righe\n"
    "              dei metri scelti\n"
    "\n"
    "opzioni:\n"
    "  --kind TIPO     tipo di file, per tutti i FILE\n"
    "  --from METRI    primo metro mostrato\n"
    "  --to METRI      ultimo metro mostrato\n"
    "  --all           anche voci e celle vuote\n"
    "  --oggetti, --objects\n"
    "                  solo le celle con un oggetto (tipo diverso da cella_libera)\n"
    "                  e le voci che contengono qualcosa\n"
    "  --json          un array JSON con un oggetto per file\n"
    "  --csv           una tabella CSV (un solo FILE)\n"
    "\n"
    "Un file che non rispetta il suo formato (troncato, lunghezza non multipla\n"
    "del record, nome oltre la fine, etichetta diversa da 0/2/5, 87 voci che non\n"
    "riempiono il file) è segnalato con il nome e l'offset; stato d'uscita 3.\n";

int comando_compila(const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
  const std::string comando = "compila";
  if (chiede_aiuto(a)) {
    out << kUsoCompila;
    return kStatoPulito;
  }
  argomenti arg;
  try {
    arg = leggi_argomenti(a, {{{"--out"}, true},
                              {{"--line-name"}, true},
                              {{"--train"}, true},
                              {{"--no-geometry"}, false},
                              {{"--json"}, false},
                              {{"--severo", "--strict"}, false},
                              {{"--codifica", "--encoding"}, true}});
  } catch (const errore_argomenti& e) {
    return inservibile(err, comando, e.what());
  }
  if (auto c = arg.valore("--codifica"); c && *c != "utf-8" && *c != "UTF-8" && *c != "utf8" && *c != "windows-1252") {
    return inservibile(err, comando, "--codifica: \"" + *c + "\" non è utf-8 né windows-1252");
  }
  if (arg.posizionali.size() != 2) {
    return inservibile(err, comando, "servono due file, LINEA.txt e TRENO.txt; dati: " +
                                         std::to_string(arg.posizionali.size()));
  }
  richiesta_compilazione r;
  r.linea = arg.posizionali[0];
  r.treno = arg.posizionali[1];
  if (auto v = arg.valore("--out")) r.cartella = *v;
  if (auto v = arg.valore("--line-name")) r.id.nome_linea = *v;
  if (auto v = arg.valore("--train")) r.id.numero_treno = *v;
  r.geometria = !arg.ha("--no-geometry");
  if (auto c = arg.valore("--codifica")) r.utf8 = *c != "windows-1252";
  const bool in_json = arg.ha("--json");

  esito_compilazione e = compila_file(r);
  if (!e.ripristino.empty()) err << "scenario " << comando << ": " << e.ripristino << '\n';
  const std::vector<diagnosi> d = diagnosi_del_modello(e.m, {r.linea, r.treno});
  const nomi_sorgenti nomi{r.linea, r.treno};
  std::size_t gravi = 0, errori_persi = 0, avvisi_persi = 0;
  for (const diagnosi& x : d) {
    err << riga_diagnosi(x) << '\n';
    if (!x.compilato) ++(x.errore ? errori_persi : avvisi_persi);
    if (x.compilato && x.avviso && x.errore) ++gravi;
  }
  for (const std::string& s : righe_arresti(e.m, nomi)) err << s << '\n';
  if (e.stato == kStatoRapporto) {
    err << "scenario: errore: \"" << e.rapporto << "\": " << significato_rapporto(e.codice_rapporto) << '\n';
  }
  if (e.stato == kStatoArgomenti) err << "scenario " << comando << ": " << e.errore << '\n';
  for (const std::string& s : righe_omesse(e.m)) err << s << '\n';
  const std::size_t errori = static_cast<std::size_t>(errori_totali(e.m)) + gravi;
  const auto avvisi = static_cast<std::size_t>(avvisi_totali(e.m)) - gravi;
  if (!d.empty()) {
    err << "scenario: " << errori << " errori, " << avvisi << " avvisi";
    if (errori_persi + avvisi_persi > 0) {
      err << "; nei record non compilati: " << errori_persi << " errori, " << avvisi_persi << " avvisi";
    }
    err << '\n';
  }
  // Strict: a clean compile with warnings fails as one with faults does.
  if (arg.ha("--severo") && e.stato == kStatoPulito && avvisi > 0) {
    e.stato = kStatoGuasti;
    err << "scenario: --severo: gli avvisi contano come guasti\n";
  }

  if (in_json) {
    const char* esito = e.stato == kStatoPulito    ? "pulito"
                        : e.stato == kStatoGuasti  ? "guasti"
                        : e.stato == kStatoRapporto ? "rapporto"
                                                    : "inservibile";
    json j;
    j["linea"] = r.linea;
    j["treno"] = r.treno;
    j["cartella"] = r.cartella;
    j["nome_linea"] = r.id.nome_linea;
    j["numero_treno"] = r.id.numero_treno;
    j["stato"] = e.stato;
    j["esito"] = esito;
    j["codice_errore"] = e.m.codice_errore;
    j["posizione_errore"] = e.m.posizione_errore;
    j["rapporto"] = e.rapporto.empty() ? json(nullptr) : json(e.rapporto);
    j["errore"] = e.errore.empty() ? json(nullptr) : json(e.errore);
    j["file_scritti"] = e.scritti;
    j["errori"] = errori;
    j["avvisi"] = avvisi;
    j["omessi"] = json_omessi(e.m);
    j["arresti"] = json_arresti(e.m, nomi);
    j["diagnostica"] = json::array();
    for (const diagnosi& x : d) j["diagnostica"].push_back(json_diagnosi(x));
    scrivi_json(out, j);
    out << '\n';
  } else {
    for (const std::string& s : e.scritti) out << "scritto: " << s << '\n';
  }
  return e.stato;
}

int comando_decodifica(const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
  const std::string comando = "decodifica";
  if (chiede_aiuto(a)) {
    out << kUsoDecodifica;
    return kStatoPulito;
  }
  argomenti arg;
  scelta s;
  std::optional<tipo_file> tipo_imposto;
  formato_uscita formato = formato_uscita::testo;
  try {
    arg = leggi_argomenti(a, {{{"--kind"}, true},
                              {{"--from"}, true},
                              {{"--to"}, true},
                              {{"--all"}, false},
                              {{"--oggetti", "--objects"}, false},
                              {{"--json"}, false},
                              {{"--csv"}, false}});
    s.da = arg.metri("--from");
    s.a = arg.metri("--to");
  } catch (const errore_argomenti& e) {
    return inservibile(err, comando, e.what());
  }
  s.tutte = arg.ha("--all");
  s.oggetti = arg.ha("--oggetti");
  if (s.tutte && s.oggetti) return inservibile(err, comando, "--all e --oggetti insieme");
  if (auto k = arg.valore("--kind")) {
    tipo_imposto = tipo_da_parola(*k);
    if (!tipo_imposto) return inservibile(err, comando, "tipo sconosciuto: " + *k);
  }
  if (arg.ha("--json") && arg.ha("--csv")) return inservibile(err, comando, "--json e --csv insieme");
  if (arg.ha("--json")) formato = formato_uscita::json;
  if (arg.ha("--csv")) formato = formato_uscita::csv;
  if (arg.posizionali.empty()) return inservibile(err, comando, "nessun file");
  if (formato == formato_uscita::csv && arg.posizionali.size() != 1) {
    return inservibile(err, comando, "--csv vuole un solo file");
  }
  if (s.da && s.a && *s.da > *s.a) return inservibile(err, comando, "--from oltre --to");

  auto sistema = piattaforma_di_sistema(".");
  for (const std::string& a : avvisi_insiemi_incompleti(*sistema, arg.posizionali)) {
    err << "scenario " << comando << ": attenzione: " << a << '\n';
  }
  int stato = kStatoPulito;
  if (formato == formato_uscita::json) out << "[";
  bool primo = true;
  for (const std::string& nome : arg.posizionali) {
    std::string errore;
    const std::optional<tipo_file> t = tipo_imposto ? tipo_imposto : tipo_da_nome(nome);
    std::optional<std::size_t> offset;
    if (!t) {
      errore = "tipo di file sconosciuto: il nome non finisce in _linea.dat, .sim o .dat (usare --kind)";
    } else {
      try {
        // The size is checked before anything is read; the geometry, tens of
        // megabytes on a long line, is read in pieces as it is printed.
        if (*t == tipo_file::geometria) {
          const auto g = geometria_a_pezzi(apri_binario(*sistema, nome, *t));
          if (formato == formato_uscita::json) out << (primo ? "\n" : ",\n");
          stampa_geometria(out, nome, *g, formato, s);
        } else {
          const file_decodificato f = decodifica(*t, leggi_binario(*sistema, nome, *t));
          if (formato == formato_uscita::json) out << (primo ? "\n" : ",\n");
          stampa_decodificato(out, nome, f, formato, s);
        }
        primo = false;
      } catch (const errore_sistema& e) {
        errore = "impossibile leggere: " + e.descrizione();
      } catch (const errore_dimensione& e) {
        errore = e.what();
      } catch (const errore_decodifica& e) {
        errore = std::string("file ") + nome_tipo_file(*t) + " malformato all'offset " + std::to_string(e.offset()) +
                 ": " + e.motivo();
        offset = e.offset();
      } catch (const std::bad_alloc&) {
        errore = "memoria esaurita";
      }
    }
    if (errore.empty()) continue;
    stato = kStatoArgomenti;
    err << nome << ": errore: " << errore << '\n';
    if (formato == formato_uscita::json) {
      json j;
      j["file"] = nome;
      j["errore"]["offset"] = offset ? json(*offset) : json(nullptr);
      j["errore"]["messaggio"] = errore;
      out << (primo ? "\n" : ",\n");
      scrivi_json(out, j);
      primo = false;
    }
  }
  if (formato == formato_uscita::json) out << "\n]\n";
  return stato;
}

}  // namespace

int strumento_scenario(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err_grezzo) {
  // Whatever a file holds, the standard error shows no control character.
  flusso_mostrabile err(err_grezzo);
  if (argomenti.empty()) {
    err << kUso;
    return kStatoArgomenti;
  }
  const std::string& comando = argomenti.front();
  const std::vector<std::string> resto(argomenti.begin() + 1, argomenti.end());
  try {
    if (comando == "--help" || comando == "-h" || comando == "aiuto" || comando == "help") {
      out << kUso;
      return kStatoPulito;
    }
    if (comando == "--version") {
      out << "scenario " << kVersione << '\n';
      return kStatoPulito;
    }
    if (comando == "compila" || comando == "compile") return comando_compila(resto, out, err);
    if (comando == "decodifica" || comando == "decode") return comando_decodifica(resto, out, err);
    if (comando == "grafico" || comando == "chart") return comando_grafico(resto, out, err);
    if (comando == "vista" || comando == "view") return comando_grafico(resto, out, err, true);
    if (comando == "formato" || comando == "format") return comando_formato(resto, out, err);
    if (comando == "nuovo" || comando == "new") return comando_nuovo(resto, out, err);
    if (comando == "decompila" || comando == "decompile") return comando_decompila(resto, out, err);
    if (comando == "lsp") return comando_lsp(resto, out, err);
  } catch (const std::exception& e) {
    err << "scenario: errore: " << e.what() << '\n';
    return kStatoArgomenti;
  }
  err << "scenario: comando sconosciuto: " << comando << "\n\n" << kUso;
  return kStatoArgomenti;
}

}  // namespace scenario
