#include "compiler/avvisi.h"

#include <utility>

#include "compiler/esecuzione.h"
#include "compiler/occupanti.h"
#include "compiler/voci.h"
#include "platform/cp1252.h"

namespace scenario {
namespace {

constexpr std::size_t kCampoMassimo = 60;

std::string_view senza_spazi(std::string_view s) {
  const auto a = s.find_first_not_of(" \t");
  if (a == std::string_view::npos) return {};
  const auto b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

bool numerico(std::string_view s) { return !s.empty() && s[0] >= '0' && s[0] <= '9'; }

// A record that took values from the lines after its own: which, from
// where, and for each record it swallowed a warning at that record's line.
void avvisa_valori_presi(modello& m, const lettore_campi& l, const record_descrizione& r, int riga_parola) {
  const std::vector<lettore_campi::campo_letto>& campi = l.campi_del_record();
  std::size_t sulla_riga = 0;
  while (sulla_riga < campi.size() && campi[sulla_riga].riga == riga_parola) ++sulla_riga;
  std::string presi;
  int riga_presi = 0;
  for (std::size_t k = sulla_riga; k < campi.size() && k < r.valori.size(); ++k) {
    if (campi[k].riga != riga_presi) {
      presi += std::string(presi.empty() ? "" : "; ") + "dalla riga " + std::to_string(campi[k].riga) + ": ";
      riga_presi = campi[k].riga;
    } else {
      presi += ", ";
    }
    presi += std::string(r.valori[k].nome) + " = " + campo_citato(l.testo_di(campi[k]));
  }
  const std::string parola = r.parola;
  avvisa(m, avviso_valori, 0,
         parola + " vuole " + std::to_string(r.valori.size()) + (r.valori.size() == 1 ? " valore" : " valori") +
             " sulla sua riga e ne ha " + std::to_string(sulla_riga) + ": ha preso " + presi);
  // A keyword among the fields taken is a record lost.
  for (std::size_t k = sulla_riga; k < campi.size(); ++k) {
    const std::string_view testo = l.testo_di(campi[k]);
    const record_descrizione* inghiottito = record_di(r.file, false, testo);
    if (!inghiottito || intestazione(testo)) continue;
    const int riga = m.sorgente_riga;
    m.sorgente_riga = campi[k].riga;
    avvisa(m, avviso_inghiottito, 0,
           campo_citato(testo) + ": il record " + inghiottito->parola + " di questa riga è stato letto come " +
               "valori del record " + parola + " della riga " + std::to_string(riga_parola) +
               ", che ne aveva meno sulla sua: non è compilato");
    m.sorgente_riga = riga;
  }
}

}  // namespace

void controlla_tabulazioni(modello& m, std::string_view testo) {
  if (testo.find('\t') == std::string_view::npos) return;
  int riga = 1, prima = 0, quante = 0;
  std::size_t inizio = 0;
  while (inizio < testo.size()) {
    std::size_t fine = testo.find_first_of("\r\n", inizio);
    if (fine == std::string_view::npos) fine = testo.size();
    const std::string_view r = testo.substr(inizio, fine - inizio);
    const auto a = r.find_first_not_of(" \t");
    if (a != std::string_view::npos && r.find(',') == std::string_view::npos) {
      const auto t = r.find('\t', a);
      if (t != std::string_view::npos && r.find_first_not_of(" \t", t) != std::string_view::npos) {
        if (quante++ == 0) prima = riga;
        m.righe_tabulate.insert({m.sorgente_file, riga});
      }
    }
    ++riga;
    if (fine < testo.size() && testo[fine] == '\r' && fine + 1 < testo.size() && testo[fine + 1] == '\n') ++fine;
    inizio = fine + 1;
  }
  if (quante == 0) return;
  const int salvata = m.sorgente_riga;
  m.sorgente_riga = prima;
  avvisa(m, avviso_tabulazioni, 0,
         "campi separati solo da tabulazioni su " + std::to_string(quante) + (quante == 1 ? " riga" : " righe") +
             " (la prima è questa): una tabulazione non separa i campi, i campi si separano con virgole");
  m.sorgente_riga = salvata;
}

void controlla_oltre_linea(modello& m, const char* cosa, int32_t posizione, int64_t fine) {
  const int32_t lunghezza = m.voci[voce_lunghezza_convoglio].fine;
  if (posizione > lunghezza) {
    avvisa(m, avviso_oltre_linea, posizione,
           std::string(cosa) + " a " + std::to_string(posizione) + " m, oltre la lunghezza della linea (" +
               std::to_string(lunghezza) + " m): sta nella coda di 7000 m del tracciato");
  } else if (fine > lunghezza) {
    avvisa(m, avviso_oltre_linea, posizione,
           std::string(cosa) + " da " + std::to_string(posizione) + " m finisce a " + std::to_string(fine) +
               " m, oltre la lunghezza della linea (" + std::to_string(lunghezza) + " m)");
  }
}

void avvisa(modello& m, int32_t tipo, int32_t posizione, std::string testo) {
  // On a line of fields separated by tabs the records are read askew: the
  // one warning about the tabs stands for every other warning there.
  if (tipo != avviso_tabulazioni && !m.righe_tabulate.empty() &&
      m.righe_tabulate.count({m.sorgente_file, m.sorgente_riga}) != 0) {
    return;
  }
  if (++m.avvisi_contati[tipo] > kDiagnosiPerGenere) return;
  avviso a;
  a.tipo = tipo;
  a.posizione = posizione;
  a.file = m.sorgente_file;
  a.riga = m.sorgente_riga;
  a.testo = std::move(testo);
  a.ordine = static_cast<int>(m.guasti.size() + m.avvisi.size());
  m.avvisi.push_back(std::move(a));
}

int tipo_in(const modello& m, int64_t i) {
  if (i < 0 || i >= static_cast<int64_t>(m.celle.size())) return -1;
  return m.celle[static_cast<std::size_t>(i)].tipo;
}

void avvisa_sostituzione(modello& m, int32_t posizione, const char* oggetto, int vecchio, int64_t i) {
  correlato chi = occupante(m, i);
  if (chi.chi.empty() || m.celle[static_cast<std::size_t>(i)].tipo != vecchio) {
    const char* nome = nome_tipo_cella(static_cast<uint8_t>(vecchio));
    chi = correlato{};
    chi.chi = *nome ? std::string(nome) : "il tipo " + std::to_string(vecchio);
  }
  const std::size_t prima = m.avvisi.size();
  avvisa(m, avviso_sostituzione, posizione,
         std::string(oggetto) + " sulla cella " + std::to_string(i) + " (" + std::to_string(i * 50) +
             " m) sostituisce " + chi.chi);
  if (m.avvisi.size() > prima) m.avvisi.back().occupante = std::move(chi);
}

std::string campo_citato(std::string_view ansi) {
  std::string_view s = senza_spazi(ansi);
  const bool tagliato = s.size() > kCampoMassimo;
  if (tagliato) s = s.substr(0, kCampoMassimo);
  std::string r = "\"";
  r += cp1252_in_utf8(s);
  r += tagliato ? "...\"" : "\"";
  return r;
}

bool intestazione(std::string_view campo) {
  const std::string_view s = senza_spazi(campo);
  return !s.empty() && s[0] == '[' && s.find(']') != std::string_view::npos;
}

void sorveglianza_parole::campo(modello& m, std::string_view campo, bool riconosciuta, bool valori_non_letti) {
  const std::string_view s = senza_spazi(campo);
  if (s.empty()) return;
  if (!riconosciuta && m.sorgente_riga <= riga_sospesa_) return;
  if (riconosciuta || intestazione(s)) {
    valori_orfani_ = riconosciuta && valori_non_letti;
    return;
  }
  if (valori_orfani_ && numerico(s)) return;
  const char* vicina = suggerisci_ && !numerico(s) ? forma_vicina(file_, s) : nullptr;
  avvisa(m, avviso_parola, 0,
         campo_citato(s) + (numerico(s) ? ": un valore in più dove si attende una parola chiave"
                                        : ": né una parola chiave di record né un'intestazione di sezione") +
             (vicina ? std::string(", forse \u00ab") + cp1252_in_utf8(vicina) + "\u00bb?" : std::string()));
  valori_orfani_ = true;
}

void controlla_record(modello& m, const lettore_campi& l, const record_descrizione& r, std::string_view campo,
                      int riga_parola, sorveglianza_parole& parole) {
  const int riga_prima = m.sorgente_riga;
  m.sorgente_riga = riga_parola;
  const std::string parola = r.parola;
  if (intestazione(campo)) {
    avvisa(m, avviso_intestazione, 0,
           campo_citato(campo) + ": un'intestazione che contiene la parola chiave \"" + parola +
               "\" è letta come quel record, con i suoi valori");
  } else if (!forma_scritta(r, campo)) {
    std::string forme;
    for (const char* f : r.forme) forme += (forme.empty() ? "\"" : ", \"") + cp1252_in_utf8(f) + "\"";
    avvisa(m, avviso_forma, 0, campo_citato(campo) + ": non è una forma scritta di " + parola + " (" + forme + ")");
  }
  if (l.riga() > riga_parola) {
    avvisa_valori_presi(m, l, r, riga_parola);
    parole.sospendi_fino_a(l.riga());
  }
  for (const lettore_campi::numero_con_testo& n : l.numeri_con_testo()) {
    if (n.riga != riga_parola) continue;
    avvisa(m, avviso_numero, 0,
           campo_citato(n.campo) + ": testo dove " + parola + " vuole un numero intero, letto come " +
               std::to_string(n.letto));
  }
  m.sorgente_riga = riga_prima;
}

void finisci_record_fermato(modello& m, lettore_campi& l, const record_descrizione* d, std::string_view campo,
                            int riga_parola, sorveglianza_parole& parole) {
  if (d) {
    try {
      while (!l.fine() && !l.riga_finita() && l.campi_del_record().size() < d->valori.size()) {
        if (d->ultimo_testo && l.campi_del_record().size() + 1 == d->valori.size()) {
          l.testo();
        } else {
          l.numero32();
        }
      }
    } catch (const errore_esecuzione&) {
      // A value too large for a number: the record is told about already.
    }
    controlla_record(m, l, *d, campo, riga_parola, parole);
  }
  l.salta_riga();
}

bool sembra_utf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t seguito = (b >= 0xC2 && b <= 0xDF) ? 1 : (b >= 0xE0 && b <= 0xEF) ? 2 : (b >= 0xF0 && b <= 0xF4) ? 3 : 0;
    if (seguito == 0 || i + seguito >= s.size()) continue;
    bool valida = true;
    for (std::size_t k = 1; k <= seguito; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      valida = valida && c >= 0x80 && c <= 0xBF;
    }
    if (valida) return true;
  }
  return false;
}

void controlla_codifica(modello& m, int32_t posizione, std::string_view testo) {
  if (!sembra_utf8(testo)) return;
  avvisa(m, avviso_codifica, posizione,
         campo_citato(testo) + ": sembra scritto in UTF-8, ma le descrizioni si leggono in Windows-1252 " +
             "(\"scenario compila --codifica utf-8\" le converte)");
}

void sorveglianza_ordine::posizione(modello& m, int32_t p) {
  if (precedente_ && p <= *precedente_) {
    avvisa(m, avviso_ordine, p,
           std::string(cosa_) + " a " + std::to_string(p) + " m dopo quella a " + std::to_string(*precedente_) +
               " m: i record vanno in ordine crescente di posizione");
  }
  precedente_ = p;
}

}  // namespace scenario
