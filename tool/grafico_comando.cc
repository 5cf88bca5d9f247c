#include "tool/grafico_comando.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "chart/grafico.h"
#include "chart/vista.h"
#include "common/limiti.h"
#include "common/righe.h"
#include "common/uscite.h"
#include "compiler/compila_testi.h"
#include "compiler/diagnostica.h"
#include "platform/cp1252.h"
#include "platform/piattaforma.h"
#include "platform/piattaforma_memoria.h"
#include "reader/decodifica.h"
#include "reader/identita_dai_nomi.h"
#include "reader/piano_a_pezzi.h"
#include "texts/testi.h"
#include "tool/argomenti.h"

namespace scenario {
namespace {

constexpr const char* kUsoGrafico =
    "uso: scenario grafico [FILE...] [--out FILE.svg] [--from METRI] [--to METRI]\n"
    "                      [--line-name NOME] [--train NUMERO] [--html]\n"
    "\n"
    "Disegna uno scenario compilato in una pagina SVG autonoma (nessuno script,\n"
    "solo famiglie di caratteri generiche), con le posizioni in metri su un asse\n"
    "comune: la pianta della linea con stazioni, gallerie, segnali e barra di\n"
    "scala, e sotto le strisce di pendenza, quota, curve (ricavate dalla pianta:\n"
    "classe, verso e raggio), montagne e gallerie, velocità massima con i\n"
    "cartelli, aderenza, stazioni con zone e orari, segnali, rallentamenti con\n"
    "avviso e preavvisi, cartelli con testo.\n"
    "\n"
    "Che cosa si disegna:\n"
    "  nessun FILE            lo scenario incorporato nel programma\n"
    "  LINEA.txt TRENO.txt    le due descrizioni, compilate in memoria come fa\n"
    "                         \"compila\" (nessun file scritto)\n"
    "  NOME.sim NOME.dat [NOME_linea.dat]\n"
    "                         i file binari (senza la geometria: niente pianta\n"
    "                         né curve); il titolo dice la linea e il treno\n"
    "                         dei nomi dei file, come li compone \"compila\"\n"
    "\n"
    "opzioni:\n"
    "  --out, -o FILE.svg  dove scrivere la pagina (predefinito, o \"-\": uscita\n"
    "                      standard)\n"
    "  --from METRI        primo metro del tratto (predefinito: 0)\n"
    "  --to METRI          ultimo metro del tratto (predefinito: fine del tracciato)\n"
    "  --line-name NOME    nome della linea: per le descrizioni quello della\n"
    "                      compilazione, per i file binari quello del titolo\n"
    "                      (predefinito: dal nome dei file)\n"
    "  --train NUMERO      numero del treno, allo stesso modo\n"
    "  --html              la vista interattiva invece del disegno (come\n"
    "                      \"scenario vista\"); --from e --to il tratto iniziale\n"
    "\n"
    "Le etichette che si sovrapporrebbero sono omesse, e la legenda dice quante.\n"
    "Stato d'uscita: 0 disegnato, 1 disegnato da una compilazione con guasti,\n"
    "2 la compilazione è finita nel rapporto d'errore (nessun disegno), 3\n"
    "argomenti o file inservibili.\n";

constexpr const char* kUsoVista =
    "uso: scenario vista [FILE...] [--out FILE.html] [--from METRI] [--to METRI]\n"
    "                    [--line-name NOME] [--train NUMERO]\n"
    "\n"
    "Scrive la vista interattiva di uno scenario: una sola pagina HTML autonoma\n"
    "(dati, script e stile nella pagina, nessun riferimento esterno) che si apre\n"
    "in un browser. Mostra la pianta e le strisce del disegno di \"scenario\n"
    "grafico\" su un asse comune in metri, con:\n"
    "  - scorrimento e zoom: rotella e trascinamento, frecce, + e -, e una\n"
    "    casella per andare a un chilometro (\"14,2\") o a un tratto (\"13-15\");\n"
    "    le etichette che si sovrapporrebbero sono omesse, e tornano avvicinando;\n"
    "  - il passaggio del puntatore su un oggetto: genere, valori, celle e\n"
    "    progressiva e, per le descrizioni, il file e la riga del suo record;\n"
    "  - gli errori e gli avvisi della compilazione nella striscia Diagnosi;\n"
    "  - la ricerca di una stazione o di un cartello per nome.\n"
    "\n"
    "FILE come per \"scenario grafico\" (nessuno: lo scenario incorporato;\n"
    "LINEA.txt TRENO.txt; oppure i file binari, senza file e righe).\n"
    "\n"
    "opzioni:\n"
    "  --out, -o FILE.html dove scrivere la pagina (predefinito, o \"-\": uscita\n"
    "                      standard)\n"
    "  --from METRI, --to METRI\n"
    "                      il tratto mostrato all'apertura\n"
    "  --line-name NOME, --train NUMERO\n"
    "                      come per \"scenario grafico\"\n"
    "\n"
    "Stato d'uscita come per \"scenario grafico\".\n";


// The tables of the three binary files, named on the command line in any
// order, the geometry optional. Returns the exit status of a failure, or
// nothing when `d` holds the tables.
std::optional<int> dati_dai_binari(piattaforma& sistema, const std::vector<std::string>& binari, dati_grafico& d,
                                   std::ostream& err) {
  const std::string comando = "grafico";
  // The kinds first, so that a missing or doubled file is told before any
  // is read.
  bool voci = false, celle = false, piano = false;
  for (const std::string& nome : binari) {
    const tipo_file t = *tipo_da_nome(nome);
    bool& gia = t == tipo_file::voci ? voci : t == tipo_file::celle ? celle : piano;
    if (gia) return inservibile(err, comando, std::string("due file ") + nome_tipo_file(t) + ": " + nome);
    gia = true;
  }
  if (!voci || !celle) {
    return inservibile(err, comando, "servono il file delle voci (.sim) e quello delle celle (.dat)");
  }
  for (const std::string& nome : binari) {
    const tipo_file t = *tipo_da_nome(nome);
    try {
      if (t == tipo_file::geometria) {
        // Tens of megabytes on a long line: read in pieces as it is drawn.
        d.piano = piano_a_pezzi(apri_binario(sistema, nome, t));
        continue;
      }
      file_decodificato f = decodifica(t, leggi_binario(sistema, nome, t));
      if (t == tipo_file::voci) d.voci = f.voci;
      if (t == tipo_file::celle) d.celle = std::move(f.celle);
    } catch (const errore_sistema&) {
      return lettura_fallita(err, nome);
    } catch (const errore_dimensione&) {
      return lettura_fallita(err, nome);
    } catch (const errore_decodifica& e) {
      err << nome << ": errore: file " << nome_tipo_file(t) << " malformato all'offset " << e.offset() << ": "
          << e.motivo() << '\n';
      return kStatoArgomenti;
    }
  }
  return std::nullopt;
}

// The built-in descriptions (no file) or the author's two, compiled in
// memory with their faults on `err`. Returns the compile's exit status; the
// model is drawable only when that is clean or faults.
int compila_per_grafico(piattaforma& sistema, const argomenti& arg, const std::vector<std::string>& testi,
                        esito_compilazione& e, nomi_sorgenti& nomi, std::ostream& err) {
  const std::string comando = "grafico";
  piattaforma_memoria memoria;
  identita id = identita_incorporata();
  if (auto v = arg.valore("--line-name")) id.nome_linea = *v;
  if (auto v = arg.valore("--train")) id.numero_treno = *v;
  std::string linea, treno;
  nomi = {"linea incorporata", "treno incorporato"};
  if (testi.empty()) {
    linea = testo_righe(righe_linea(memoria));
    treno = testo_righe(righe_treno(memoria));
  } else {
    nomi = {testi[0], testi[1]};
    for (int i = 0; i < 2; ++i) {
      try {
        (i == 0 ? linea : treno) = sistema.leggi(testi[static_cast<std::size_t>(i)], kMassimoDescrizione);
      } catch (const errore_sistema& x) {
        err << "scenario " << comando << ": impossibile leggere " << testi[static_cast<std::size_t>(i)] << ": "
            << x.descrizione() << '\n';
        return kStatoArgomenti;
      }
    }
  }
  // The chart draws from the model: the compiled files, tens of megabytes
  // on a long line, are let go as they are written.
  piattaforma_senza_scritture uscita(memoria);
  e = compila_testi(uscita, id, linea, treno, true);
  std::size_t errori = 0;
  for (const diagnosi& x : diagnosi_del_modello(e.m, nomi)) {
    if (!x.errore) continue;
    err << riga_diagnosi(x) << '\n';
    ++errori;
  }
  if (e.stato == kStatoRapporto) {
    err << "scenario: errore: \"" << e.rapporto << "\": " << significato_rapporto(e.codice_rapporto)
        << "\nscenario " << comando << ": nessun file compilato, nessun disegno\n";
  } else if (e.stato == kStatoArgomenti) {
    err << "scenario " << comando << ": " << e.errore << '\n';
  } else if (errori) {
    err << "scenario: " << errori << " errori (\"scenario compila\" li mostra con gli avvisi)\n";
  }
  return e.stato;
}

// A name as the system gave it: UTF-8 when it is, otherwise taken as
// Windows-1252, so that the page stays well formed.
std::string in_utf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return cp1252_in_utf8(s);
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return cp1252_in_utf8(s);
    }
    i += n;
  }
  return s;
}

// The chart of binary files is titled with the identity that their names
// tell (the files may have been compiled under another name, which the items
// keep), or with --line-name and --train; the standard error says which, and
// when the names disagree. Names that follow no rule leave the items' own.
void titolo_dai_binari(const std::vector<std::string>& binari, const argomenti& arg, dati_grafico& d,
                       std::ostream& err) {
  struct parte {
    const char* cosa;
    const char* opzione;
    std::optional<std::string> scelto;
    std::string da;
    std::vector<std::pair<std::string, std::string>> altri;  // other files that tell another name
  };
  parte linea{"linea", "--line-name", std::nullopt, "", {}}, treno{"treno", "--train", std::nullopt, "", {}};
  if (auto v = arg.valore("--line-name")) linea = {"linea", "--line-name", *v, "da --line-name", {}};
  if (auto v = arg.valore("--train")) treno = {"treno", "--train", *v, "da --train", {}};
  // The items' name first: it is the file whose entries name the scenario.
  std::vector<std::string> ordine;
  for (tipo_file t : {tipo_file::voci, tipo_file::celle, tipo_file::geometria}) {
    for (const std::string& f : binari) {
      if (*tipo_da_nome(f) == t) ordine.push_back(f);
    }
  }
  for (const std::string& f : ordine) {
    const identita_da_nome id = identita_dal_nome(f, *tipo_da_nome(f));
    for (auto [p, v] : {std::pair{&linea, id.nome_linea}, std::pair{&treno, id.numero_treno}}) {
      if (!v) continue;
      if (!p->scelto) {
        p->scelto = in_utf8(*v);
        p->da = "dal nome di " + f;
      } else if (p->da.rfind("da --", 0) != 0 && *p->scelto != in_utf8(*v)) {
        p->altri.emplace_back(f, in_utf8(*v));
      }
    }
  }
  err << "scenario grafico: titolo:";
  for (parte* p : {&linea, &treno}) {
    if (!p->scelto) {
      p->scelto = cp1252_in_utf8(d.voci[p == &linea ? 85 : 86].nome);
      p->da = "dal file delle voci (nessun nome di file lo dice)";
    }
    err << (p == &linea ? " " : "; ") << p->cosa << " \"" << *p->scelto << "\" " << p->da;
  }
  err << '\n';
  for (parte* p : {&linea, &treno}) {
    for (const auto& [f, altro] : p->altri) {
      err << "scenario grafico: attenzione: " << f << " dice " << p->cosa << " \"" << altro << "\"; "
          << p->opzione << " sceglie quello del titolo\n";
    }
  }
  d.nome_linea = linea.scelto;
  d.numero_treno = treno.scelto;
}

}  // namespace

int comando_grafico(const std::vector<std::string>& a, std::ostream& out, std::ostream& err, bool vista) {
  const std::string comando = vista ? "vista" : "grafico";
  if (chiede_aiuto(a)) {
    out << (vista ? kUsoVista : kUsoGrafico);
    return kStatoPulito;
  }
  argomenti arg;
  opzioni_grafico o;
  try {
    arg = leggi_argomenti(a, {{{"--out", "-o"}, true},
                              {{"--from"}, true},
                              {{"--to"}, true},
                              {{"--line-name"}, true},
                              {{"--train"}, true},
                              {{"--html"}, false}});
    o.da = arg.metri("--from");
    o.a = arg.metri("--to");
  } catch (const errore_argomenti& e) {
    return inservibile(err, comando, e.what());
  }
  if (o.da && o.a && *o.da >= *o.a) return inservibile(err, comando, "--from non è prima di --to");

  std::vector<std::string> binari, testi;
  for (const std::string& f : arg.posizionali) (tipo_da_nome(f) ? binari : testi).push_back(f);
  if (!binari.empty() && !testi.empty()) {
    return inservibile(err, comando, "file binari e descrizioni insieme: " + testi.front());
  }
  if (!testi.empty() && testi.size() != 2) {
    return inservibile(err, comando, "servono due descrizioni, LINEA.txt e TRENO.txt; date: " +
                                         std::to_string(testi.size()));
  }

  auto sistema = piattaforma_di_sistema(".");
  dati_grafico d;
  int stato = kStatoPulito;
  esito_compilazione e;
  nomi_sorgenti nomi;
  // The page never replaces one of the files it is drawn from.
  if (auto f = arg.valore("--out"); f && *f != "-") {
    if (std::string perche = ingresso_tra_le_uscite(*sistema, arg.posizionali, {*f}, "uno dei file disegnati");
        !perche.empty()) {
      return inservibile(err, comando, perche);
    }
  }
  if (!binari.empty()) {
    for (const std::string& a : avvisi_insiemi_incompleti(*sistema, binari)) {
      err << "scenario " << comando << ": attenzione: " << a << '\n';
    }
    if (auto fallito = dati_dai_binari(*sistema, binari, d, err)) return *fallito;
    titolo_dai_binari(binari, arg, d, err);
  } else {
    stato = compila_per_grafico(*sistema, arg, testi, e, nomi, err);
    if (stato > kStatoGuasti) return stato;
    d = dati_dal_modello(e.m);
  }

  const bool html = vista || arg.ha("--html");
  grafico g;
  try {
    if (html) {
      opzioni_vista v;
      v.da = o.da;
      v.a = o.a;
      if (binari.empty()) {
        v.diagnostica = diagnosi_del_modello(e.m, nomi);
        v.file_linea = nomi.linea;
        v.file_treno = nomi.treno;
      }
      g.svg = pagina_vista(d, v);
    } else {
      g = disegna_grafico(d, o);
    }
  } catch (const errore_grafico& x) {
    return inservibile(err, comando, x.what());
  } catch (const errore_sistema& x) {
    // The geometry file, read again while drawing, changed or went away.
    err << x.file() << ": errore: impossibile leggere: " << x.descrizione() << '\n';
    return kStatoArgomenti;
  } catch (const errore_decodifica& x) {
    err << "scenario " << comando << ": errore: file geometria malformato all'offset " << x.offset() << ": "
        << x.motivo() << '\n';
    return kStatoArgomenti;
  }
  if (auto f = arg.valore("--out"); f && *f != "-") {
    try {
      // Under the folder's hold, so that a run completing a killed set there
      // takes no temporary of this one for a leftover.
      const std::unique_ptr<blocco_cartella> tenuta = prendi_cartella(*sistema, cartella_di(*sistema, *f));
      sistema->scrivi(*f, g.svg);
    } catch (const errore_cartella_occupata& x) {
      err << "scenario " << comando << ": " << x.file() << ": " << descrizione_cartella_occupata() << '\n';
      return kStatoArgomenti;
    } catch (const errore_sistema& x) {
      err << "scenario " << comando << ": impossibile scrivere " << *f << ": " << x.descrizione() << '\n';
      return kStatoArgomenti;
    }
  } else {
    out << g.svg;
  }
  for (const auto& [tipo, n] : g.omesse) {
    err << "scenario " << comando << ": " << n << " etichette omesse (" << tipo << ")\n";
  }
  return stato;
}

}  // namespace scenario
