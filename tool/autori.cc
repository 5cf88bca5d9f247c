#include "tool/autori.h"

#include <stdexcept>

#include "compiler/parole.h"
#include "platform/cp1252.h"
#include "platform/percorsi.h"
#include "platform/piattaforma.h"
#include "platform/piattaforma_memoria.h"
#include "common/righe.h"
#include "common/uscite.h"
#include "texts/testi.h"
#include "tool/argomenti.h"
#include "compiler/compila_testi.h"

namespace scenario {
namespace {

constexpr const char* kUsoFormato =
    "uso: scenario formato [PAROLA]\n"
    "\n"
    "Senza PAROLA elenca i record delle due descrizioni con il numero dei loro\n"
    "valori; con PAROLA (per esempio \"stazione\", \"segnale\", \"curva\") descrive\n"
    "quel record: come si riconosce, i valori in ordine con unità, intervallo e\n"
    "che cosa diventano. La guida completa è docs/formato.md.\n";

constexpr const char* kUsoNuovo =
    "uso: scenario nuovo CARTELLA [--force]\n"
    "\n"
    "Scrive nella CARTELLA linea.txt e treno.txt, le descrizioni dello scenario\n"
    "incorporato: un punto di partenza che \"scenario compila\" compila senza\n"
    "guasti né avvisi nei file del programma. Non sostituisce file esistenti se\n"
    "non con --force.\n";

const char* nome_file_descr(descrizione d) { return d == descrizione::linea ? "descrizione della linea" : "descrizione del treno"; }

void stampa_record(std::ostream& out, const record_descrizione& r) {
  out << r.parola << "  (" << nome_file_descr(r.file) << ", " << r.valori.size()
      << (r.valori.size() == 1 ? " valore)\n" : " valori)\n")
      << "  " << r.significato << "\n"
      << "  riconosciuto quando il campo contiene \"" << r.parte << "\"";
  if (r.anche) out << " e \"" << r.anche << "\"";
  if (!r.una_di.empty()) {
    out << " e uno di";
    for (const char* w : r.una_di) out << " \"" << w << "\"";
  }
  out << (r.maiuscole ? ", maiuscole rispettate" : ", maiuscole indifferenti");
  if (r.generale) out << ", solo nella sezione [generale]";
  out << "\n  forme scritte:";
  for (const char* f : r.forme) out << " \"" << cp1252_in_utf8(f) << "\"";
  out << "\n  valori, in ordine:\n";
  int n = 1;
  for (const valore_record& v : r.valori) out << "    " << n++ << ". " << v.nome << ": " << v.significato << "\n";
  if (r.ultimo_testo) out << "  l'ultimo valore è un testo fino alla fine della riga\n";
  if (*r.sezione) out << "  sezione abituale: " << r.sezione << "\n";
  out << "  esempio: " << r.esempio << "\n";
}

}  // namespace

int comando_formato(const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
  for (const std::string& x : a) {
    if (x == "--help" || x == "-h") {
      out << kUsoFormato;
      return kStatoPulito;
    }
  }
  if (a.size() > 1) {
    err << "scenario formato: al più una parola chiave\n\"scenario formato --help\" per l'uso.\n";
    return kStatoArgomenti;
  }
  if (a.empty()) {
    for (descrizione d : {descrizione::linea, descrizione::treno}) {
      out << nome_file_descr(d) << ":\n";
      for (const record_descrizione& r : records_descrizioni()) {
        if (r.file != d) continue;
        out << "  " << r.parola << std::string(r.parola[0] && std::string(r.parola).size() < 28
                                                    ? 28 - std::string(r.parola).size()
                                                    : 1,
                                                ' ')
            << r.valori.size() << (r.valori.size() == 1 ? " valore  " : " valori  ") << r.significato << "\n";
      }
    }
    out << "\"scenario formato PAROLA\" descrive un record; la guida completa è docs/formato.md.\n";
    return kStatoPulito;
  }
  std::string parola = a[0];
  const record_descrizione* r = record_per_parola(parola);
  if (!r) {
    for (descrizione d : {descrizione::linea, descrizione::treno}) {
      if (!r) r = record_di(d, false, parola);
      if (!r) r = record_di(d, true, parola);
    }
  }
  if (!r) {
    err << "scenario formato: nessun record ha la parola chiave \"" << parola << "\"";
    for (descrizione d : {descrizione::linea, descrizione::treno}) {
      if (const char* vicina = forma_vicina(d, parola)) {
        err << ", forse \u00ab" << cp1252_in_utf8(vicina) << "\u00bb?";
        break;
      }
    }
    err << "; \"scenario formato\" le elenca\n";
    return kStatoArgomenti;
  }
  stampa_record(out, *r);
  return kStatoPulito;
}

std::string linea_di_partenza() {
  piattaforma_memoria p;
  return testo_righe(righe_linea(p));
}

std::string treno_di_partenza() {
  piattaforma_memoria p;
  std::string t = testo_righe(righe_treno(p));
  // The first signal's time is dropped by the compiler (its sx is 1): the
  // starting point leaves it out, so that it compiles without a warning into
  // the same bytes.
  const std::string con = "segnale,    6000,   1, 3, 1,  0, 0,    0,  0,0,0, 230";
  if (const auto i = t.find(con); i != std::string::npos) {
    t.replace(i, con.size(), "segnale,    6000,   1, 3, 1,  0, 0,    0,  0,0,0,   0");
  }
  return t;
}

int comando_nuovo(const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
  argomenti arg;
  for (const std::string& x : a) {
    if (x == "--help" || x == "-h") {
      out << kUsoNuovo;
      return kStatoPulito;
    }
  }
  try {
    arg = leggi_argomenti(a, {{{"--force"}, false}});
  } catch (const errore_argomenti& e) {
    err << "scenario nuovo: " << e.what() << "\n\"scenario nuovo --help\" per l'uso.\n";
    return kStatoArgomenti;
  }
  if (arg.posizionali.size() != 1) {
    err << "scenario nuovo: serve una cartella\n\"scenario nuovo --help\" per l'uso.\n";
    return kStatoArgomenti;
  }
  const std::string& indicata = arg.posizionali[0];
  if (indicata.empty()) {
    err << "scenario nuovo: la cartella è vuota\n\"scenario nuovo --help\" per l'uso.\n";
    return kStatoArgomenti;
  }
  auto sistema = piattaforma_in_cartella(indicata);
  const std::string cartella = sistema->cartella_programma();
  const std::string file[2] = {nome_in_cartella(*sistema, "linea.txt"), nome_in_cartella(*sistema, "treno.txt")};
  std::vector<std::string> fatte;
  try {
    fatte = sistema->crea_cartella(cartella);
  } catch (const errore_sistema& e) {
    err << "scenario nuovo: impossibile creare " << indicata << ": " << e.file() << ": " << e.descrizione() << "\n";
    return kStatoArgomenti;
  }
  const std::string perche = scrivi_descrizioni(*sistema, cartella, arg.ha("--force"),
                                                {{file[0], linea_di_partenza()}, {file[1], treno_di_partenza()}});
  if (!perche.empty()) {
    for (auto it = fatte.rbegin(); it != fatte.rend(); ++it) {
      try {
        sistema->elimina_cartella(*it);
      } catch (const errore_sistema&) {
        break;
      }
    }
    err << "scenario nuovo: " << perche << "\n";
    return kStatoArgomenti;
  }
  for (const std::string& f : file) out << "scritto: " << f << "\n";
  return kStatoPulito;
}

std::string scrivi_descrizioni(piattaforma& p, const std::string& cartella, bool forza,
                               const std::vector<std::pair<std::string, std::string>>& file) {
  std::unique_ptr<blocco_cartella> tenuta;
  try {
    tenuta = prendi_cartella(p, cartella);
  } catch (const errore_cartella_occupata&) {
    return cartella + ": " + descrizione_cartella_occupata();
  } catch (const errore_sistema& e) {
    return "impossibile completare l'insieme interrotto in " + cartella + ": " + e.file() + ": " + e.descrizione();
  }
  for (const auto& [nome, testo] : file) {
    try {
      p.verifica_sostituibile(nome);
    } catch (const errore_sistema& e) {
      return "impossibile scrivere " + nome + ": " + e.descrizione() + "; nessun file scritto";
    }
    if (!forza && p.identita(nome, false)) return nome + " esiste già (--force per sostituirlo); nessun file scritto";
  }
  try {
    insieme_uscite uscite(p);
    for (const auto& [nome, testo] : file) uscite.aggiungi(nome, testo);
    uscite.conferma();
  } catch (const errore_sistema& e) {
    return "impossibile scrivere " + e.file() + ": " + e.descrizione();
  }
  return "";
}

}  // namespace scenario
