#include "compiler/diagnostica.h"

#include <algorithm>

#include "compiler/guasti.h"
#include "common/json.h"
#include "common/mostra.h"

namespace scenario {
namespace {

struct tipo_avviso {
  int32_t tipo;
  const char* nome;
  const char* testo;
  bool con_posizione;  // the warning carries its record's position
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
    if (!g.dettaglio.empty()) d.testo += " [" + g.dettaglio + "]";
    tutte.push_back({g.ordine, std::move(d)});
  }
  for (const avviso& a : m.avvisi) {
    diagnosi d;
    d.errore = false;
    d.codice = a.tipo;
    const tipo_avviso* t = cerca_avviso(a.tipo);
    d.con_posizione = t && t->con_posizione;
    d.posizione = a.posizione;
    d.file = nome_sorgente(a.file, nomi);
    d.riga = d.file.empty() ? 0 : a.riga;
    d.testo = a.testo;
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

std::string json_omessi(const modello& m) {
  std::string e, a;
  for (const auto& [codice, n] : m.guasti_contati) {
    if (n > kDiagnosiPerGenere) {
      e += (e.empty() ? "" : ", ") + json::stringa(std::to_string(codice)) + ": " +
           std::to_string(n - kDiagnosiPerGenere);
    }
  }
  for (const auto& [tipo, n] : m.avvisi_contati) {
    if (n > kDiagnosiPerGenere) {
      a += (a.empty() ? "" : ", ") + json::stringa(nome_avviso(tipo)) + ": " + std::to_string(n - kDiagnosiPerGenere);
    }
  }
  return "{\"errori\": {" + e + "}, \"avvisi\": {" + a + "}}";
}

std::string riga_diagnosi(const diagnosi& d) {
  std::string s = d.file.empty() ? std::string("scenario") : d.file;
  if (!d.file.empty() && d.riga > 0) {
    s += ':';
    s += std::to_string(d.riga);
  }
  if (d.errore) {
    s += ": errore: codice " + std::to_string(d.codice);
    if (d.con_posizione) s += " a " + std::to_string(d.posizione) + " m";
  } else {
    s += ": avviso: [" + std::string(nome_avviso(d.codice)) + "]";
  }
  // The fields quoted from a description reach a terminal as they are.
  return mostrabile(s + ": " + d.testo);
}

std::string json_diagnosi(const diagnosi& d) {
  std::string s = "{\"gravita\": ";
  s += d.errore ? "\"errore\"" : "\"avviso\"";
  s += ", \"codice\": " + std::to_string(d.codice);
  if (!d.errore) s += ", \"tipo\": " + json::stringa(nome_avviso(d.codice));
  s += ", \"posizione\": ";
  s += d.con_posizione ? std::to_string(d.posizione) : std::string("null");
  s += ", \"file\": " + (d.file.empty() ? std::string("null") : json::stringa(d.file));
  s += ", \"riga\": " + (d.riga > 0 ? std::to_string(d.riga) : std::string("null"));
  s += ", \"testo\": " + json::stringa(d.testo);
  s += ", \"messaggio\": " + json::stringa(riga_diagnosi(d));
  return s + "}";
}

}  // namespace scenario
