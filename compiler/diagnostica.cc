#include "compiler/diagnostica.h"

#include <algorithm>

#include "compiler/guasti.h"
#include "common/mostra.h"

namespace scenario {
namespace {

struct tipo_avviso {
  int32_t tipo;
  const char* nome;
  const char* testo;
  bool con_posizione;  // the warning carries its record's position
  bool grave = false;  // the tool counts it as an error
};

constexpr tipo_avviso kAvvisi[] = {
    {avviso_sostituzione, "sostituzione", "un oggetto scritto sopra un altro, che sparisce", true},
    {avviso_ordine, "ordine", "un record prima del precedente dello stesso genere", true},
    {avviso_sovrapposizione, "sovrapposizione", "una curva che comincia dentro la precedente", true},
    {avviso_pendenza, "pendenza", "una pendenza fuori dall'intervallo da -100 a 155 per mille", true},
    {avviso_velocita, "velocita", "una velocità che non è multipla di 5 km/h", true},
    {avviso_parola, "parola", "un campo al posto di una parola chiave che non è né parola chiave né intestazione",
     false},
    {avviso_valori, "valori", "un record i cui valori continuano sulla riga dopo: ne mancano sulla sua", false},
    {avviso_numero, "numero", "testo in un campo numerico (\"0.6\", \"120km/h\", \"7:30\"): si legge solo il numero iniziale",
     false},
    {avviso_intestazione, "intestazione", "un'intestazione di sezione che contiene una parola chiave, letta come record",
     false},
    {avviso_forma, "forma", "una parola chiave riconosciuta che non è una delle forme scritte (\"curvadx5\")", false},
    {avviso_lunghezza, "lunghezza", "una curva o un rallentamento di lunghezza zero o negativa", true},
    {avviso_scartato, "scartato", "un valore che il compilatore non tiene (il tempo di un segnale con sx diverso da 2)",
     true},
    {avviso_descrizione, "descrizione",
     "una descrizione del treno senza \"[generale]\", senza record, senza stazioni o senza velocità", false},
    {avviso_codifica, "codifica", "un testo che sembra scritto in UTF-8", true},
    {avviso_inghiottito, "inghiottito",
     "un record letto come valori del record prima di lui, che aveva meno valori sulla sua riga: non è compilato",
     false},
    {avviso_oltre_linea, "oltre_linea",
     "un oggetto o un tratto che comincia o finisce oltre la lunghezza della linea, nella coda di 7000 m del "
     "tracciato",
     true},
    {avviso_tabulazioni, "tabulazioni", "campi separati solo da tabulazioni: i campi si separano con virgole", false},
    {avviso_vuota, "vuota", "una descrizione del treno senza alcun record (un errore per lo strumento)", false, true},
    {avviso_lunghezza_assente, "lunghezza_assente",
     "una descrizione della linea senza \"lunghezza percorso\" nella sezione generale (un errore per lo strumento)",
     false, true},
};

const tipo_avviso* cerca_avviso(int32_t tipo) {
  for (const tipo_avviso& a : kAvvisi) {
    if (a.tipo == tipo) return &a;
  }
  return nullptr;
}

std::string nome_sorgente(int file, const nomi_sorgenti& nomi) {
  if (file == 1) return nomi.linea;
  if (file == 2) return nomi.treno;
  return "";
}

// "la stazione COLLE" -> "dalla stazione COLLE"
std::string con_da(const std::string& chi) {
  for (auto [art, da] : {std::pair{"il ", "dal "}, std::pair{"la ", "dalla "}, std::pair{"l'", "dall'"},
                         std::pair{"lo ", "dallo "}, std::pair{"un ", "da un "}}) {
    const std::string_view a = art;
    if (chi.compare(0, a.size(), a) == 0) return da + chi.substr(a.size());
  }
  return "da " + chi;
}

// " (TRENO.txt:15, zona 14000-14600 m)"; "" when there is nothing to say.
std::string tra_parentesi(const correlato& c, const nomi_sorgenti& nomi) {
  const std::string f = nome_sorgente(c.file, nomi);
  std::string s;
  if (!f.empty()) s = f + (c.riga > 0 ? ":" + std::to_string(c.riga) : "");
  if (!c.nota.empty()) s += (s.empty() ? "" : ", ") + c.nota;
  return s.empty() ? "" : " (" + s + ")";
}

void aggiungi_correlato(diagnosi& d, const correlato& c, const nomi_sorgenti& nomi) {
  if (c.chi.empty()) return;
  const std::string f = nome_sorgente(c.file, nomi);
  if (f.empty()) return;
  d.correlati.push_back({f, c.riga, c.chi + (c.nota.empty() ? "" : " (" + c.nota + ")")});
}

bool finisce_con(const std::string& s, std::string_view fine) {
  return s.size() >= fine.size() && s.compare(s.size() - fine.size(), fine.size(), fine) == 0;
}

}  // namespace

const char* significato_guasto(int32_t codice) {
  const significato_codice* s = cerca_guasto(codice);
  return s ? s->testo : "";
}

bool guasto_con_posizione(int32_t codice) {
  const significato_codice* s = cerca_guasto(codice);
  return s && s->con_posizione;
}

std::vector<int32_t> codici_noti() {
  std::vector<int32_t> c;
  for (const significato_codice& s : significati_guasti()) c.push_back(s.codice);
  return c;
}

std::string significato_rapporto(const std::string& a) {
  if (a == "1250") {
    return "campi riservati già in uso: un oggetto con un primo valore sulla cella 1 (0-50 m), "
           "o la voce 85 già scritta; nessun file compilato";
  }
  if (a == "1251") {
    return "campi riservati già in uso: il secondo valore della cella 1 (0-50 m), o l'orario della voce 85; "
           "nessun file compilato";
  }
  return "la descrizione della linea non ha dato un tracciato: la lettura si è fermata (codice " + a +
         ") prima di una \"lunghezza percorso\" valida nella sezione generale; nessun file compilato";
}

const char* nome_avviso(int32_t tipo) {
  const tipo_avviso* a = cerca_avviso(tipo);
  return a ? a->nome : "";
}

const char* significato_avviso(int32_t tipo) {
  const tipo_avviso* a = cerca_avviso(tipo);
  return a ? a->testo : "";
}

bool avviso_grave(int32_t tipo) {
  const tipo_avviso* a = cerca_avviso(tipo);
  return a && a->grave;
}

std::vector<int32_t> avvisi_noti() {
  std::vector<int32_t> r;
  for (const tipo_avviso& a : kAvvisi) r.push_back(a.tipo);
  return r;
}

std::vector<diagnosi> diagnosi_del_modello(const modello& m, const nomi_sorgenti& nomi) {
  struct in_ordine {
    int ordine;
    diagnosi d;
  };
  std::vector<in_ordine> tutte;
  for (const guasto& g : m.guasti) {
    diagnosi d;
    d.codice = g.codice;
    d.con_posizione = guasto_con_posizione(g.codice);
    d.posizione = g.posizione;
    d.file = nome_sorgente(g.file, nomi);
    d.riga = d.file.empty() ? 0 : g.riga;
    const char* s = significato_guasto(g.codice);
    d.testo = *s ? s : "codice sconosciuto";
    if (!g.occupante.chi.empty()) {
      d.testo += (finisce_con(d.testo, "occupata") ? " " : ": occupata ") + con_da(g.occupante.chi) +
                 tra_parentesi(g.occupante, nomi);
    }
    if (!g.dettaglio.empty()) d.testo += " [" + g.dettaglio + "]";
    d.compilato = g.compilato;
    aggiungi_correlato(d, g.occupante, nomi);
    tutte.push_back({g.ordine, std::move(d)});
  }
  for (const avviso& a : m.avvisi) {
    diagnosi d;
    d.errore = avviso_grave(a.tipo);
    d.avviso = true;
    d.codice = a.tipo;
    const tipo_avviso* t = cerca_avviso(a.tipo);
    d.con_posizione = t && t->con_posizione;
    d.posizione = a.posizione;
    d.file = nome_sorgente(a.file, nomi);
    d.riga = d.file.empty() ? 0 : a.riga;
    d.testo = a.testo;
    if (!a.occupante.chi.empty()) d.testo += tra_parentesi(a.occupante, nomi);
    d.compilato = a.compilato;
    aggiungi_correlato(d, a.occupante, nomi);
    tutte.push_back({a.ordine, std::move(d)});
  }
  std::stable_sort(tutte.begin(), tutte.end(),
                   [](const in_ordine& a, const in_ordine& b) { return a.ordine < b.ordine; });
  std::vector<diagnosi> r;
  r.reserve(tutte.size());
  for (in_ordine& t : tutte) r.push_back(std::move(t.d));
  return r;
}

std::vector<std::string> righe_omesse(const modello& m) {
  std::vector<std::string> r;
  for (const auto& [codice, n] : m.guasti_contati) {
    if (n > kDiagnosiPerGenere) {
      r.push_back("scenario: altri " + std::to_string(n - kDiagnosiPerGenere) + " errori con codice " +
                  std::to_string(codice) + " non mostrati");
    }
  }
  for (const auto& [tipo, n] : m.avvisi_contati) {
    if (n > kDiagnosiPerGenere) {
      r.push_back("scenario: altri " + std::to_string(n - kDiagnosiPerGenere) + " avvisi [" + nome_avviso(tipo) +
                  "] non mostrati");
    }
  }
  return r;
}

int64_t errori_totali(const modello& m) { return m.guasti_registrati; }

int64_t avvisi_totali(const modello& m) {
  int64_t n = 0;
  for (const auto& [tipo, k] : m.avvisi_contati) n += k;
  return n;
}

json json_omessi(const modello& m) {
  json o;
  o["errori"] = json::object();
  o["avvisi"] = json::object();
  for (const auto& [codice, n] : m.guasti_contati) {
    if (n > kDiagnosiPerGenere) o["errori"][std::to_string(codice)] = n - kDiagnosiPerGenere;
  }
  for (const auto& [tipo, n] : m.avvisi_contati) {
    if (n > kDiagnosiPerGenere) o["avvisi"][nome_avviso(tipo)] = n - kDiagnosiPerGenere;
  }
  return o;
}

std::string riga_diagnosi(const diagnosi& d) {
  std::string s = d.file.empty() ? std::string("scenario") : d.file;
  if (!d.file.empty() && d.riga > 0) {
    s += ':';
    s += std::to_string(d.riga);
  }
  if (!d.avviso) {
    s += ": errore: codice " + std::to_string(d.codice);
    if (d.con_posizione) s += " a " + std::to_string(d.posizione) + " m";
  } else {
    s += std::string(d.errore ? ": errore: [" : ": avviso: [") + nome_avviso(d.codice) + "]";
  }
  // The fields quoted from a description reach a terminal as they are.
  return mostrabile(s + ": " + (d.compilato ? "" : "(non compilato) ") + d.testo);
}

namespace {

std::string testo_arresto(const arresto_lettura& a, const nomi_sorgenti& nomi) {
  std::string s = "la lettura si è fermata alla riga " + std::to_string(a.riga) + " (codice " +
                  std::to_string(a.codice) + "): ";
  if (a.non_compilati > 0) {
    s += "record non compilati da questa riga in poi: " + std::to_string(a.non_compilati) + " (" + a.per_genere + ")";
  } else {
    s += "nessun record dopo di essa";
  }
  if (a.treno_non_letto) {
    s += ", né la descrizione del treno " + nomi.treno + " (" + std::to_string(a.record_treno) + " record)";
  }
  if (!a.mancano.empty()) s += "; nei file scritti: " + a.mancano;
  return s;
}

}  // namespace

std::vector<std::string> righe_arresti(const modello& m, const nomi_sorgenti& nomi) {
  std::vector<std::string> r;
  for (const arresto_lettura& a : m.arresti) {
    r.push_back(nome_sorgente(a.file, nomi) + ":" + std::to_string(a.dalla_riga) + ": nota: " + testo_arresto(a, nomi));
  }
  return r;
}

json json_arresti(const modello& m, const nomi_sorgenti& nomi) {
  json r = json::array();
  for (const arresto_lettura& a : m.arresti) {
    json o;
    o["file"] = nome_sorgente(a.file, nomi);
    o["riga"] = a.riga;
    o["codice"] = a.codice;
    o["dalla_riga"] = a.dalla_riga;
    o["non_compilati"] = a.non_compilati;
    o["treno_non_letto"] = a.treno_non_letto;
    o["record_treno"] = a.record_treno;
    o["mancano"] = a.mancano;
    o["testo"] = testo_arresto(a, nomi);
    r.push_back(std::move(o));
  }
  return r;
}

json json_diagnosi(const diagnosi& d) {
  json o;
  o["gravita"] = d.errore ? "errore" : "avviso";
  // A warning's kind is told by name only: its number is no fault code.
  o["codice"] = d.avviso ? json(nullptr) : json(d.codice);
  if (d.avviso) o["tipo"] = nome_avviso(d.codice);
  o["posizione"] = d.con_posizione ? json(d.posizione) : json(nullptr);
  o["file"] = d.file.empty() ? json(nullptr) : json(d.file);
  o["riga"] = d.riga > 0 ? json(d.riga) : json(nullptr);
  o["testo"] = d.testo;
  o["compilato"] = d.compilato;
  o["correlati"] = json::array();
  for (const luogo_correlato& c : d.correlati) {
    json x;
    x["file"] = c.file;
    x["riga"] = c.riga > 0 ? json(c.riga) : json(nullptr);
    x["testo"] = c.testo;
    o["correlati"].push_back(std::move(x));
  }
  o["messaggio"] = riga_diagnosi(d);
  return o;
}

}  // namespace scenario
