#include "compiler/lettore_linea.h"

#include <algorithm>
#include <array>
#include <optional>
#include <limits>
#include <string>
#include <utility>

#include "compiler/avvisi.h"
#include "compiler/campi.h"
#include "compiler/esecuzione.h"
#include "compiler/guasti.h"
#include "compiler/occupanti.h"
#include "compiler/parole.h"
#include "compiler/lettori.h"
#include "compiler/tracciato.h"
#include "common/limiti.h"
#include "common/nomi.h"
#include "compiler/voci.h"

namespace scenario {
namespace {

// Fields with a dash in keyword position are dropped, this many at most in
// a row in the general section (two among the line records).
constexpr int kTrattiniGenerale = 10;

using esito = esito_record;

struct tratto {
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t posizione = 0;
};

tratto da_voce(const voce& v) { return {v.inizio, v.fine, v.posizione}; }

void in_voce(voce& v, const tratto& t) {
  v.inizio = t.inizio;
  v.fine = t.fine;
  v.posizione = t.posizione;
}

// The keyword test of the general section, for the warnings only: the
// record handlers make their own, which the table of records states again
// (a test holds the two together).
bool parola_generale(std::string_view r) { return record_di(descrizione::linea, true, r) != nullptr; }

bool inizia_con_trattino(std::string_view s) {
  const auto p = s.find_first_not_of(" \t");
  return p != std::string_view::npos && s[p] == '-';
}

// One reading of the line description: the file is read whole once, and
// "closing" it is then nothing; deleting it is the platform's.
class lettura_linea {
 public:
  lettura_linea(piattaforma& p, modello& m, std::string nome, std::string_view testo)
      : p_(p), m_(m), nome_(std::move(nome)), l_(testo) {}

  bool leggi(consegna_linea& c);

 private:
  void leggi_parola() {
    m_.riga = l_.testo();
    m_.sorgente_riga = l_.riga();
  }
  // Close, delete, record: the reader's way out for its own codes.
  bool rifiuta(codice_guasto codice) {
    p_.elimina(nome_);
    registra(m_, codice);
    return false;
  }
  bool rifiuta(codice_guasto codice, int32_t posizione) {
    p_.elimina(nome_);
    registra(m_, codice, posizione);
    return false;
  }

  bool sezione_generale();
  void dimensiona(int32_t lunghezza);
  void crea_tabelle();
  bool ripetizione_segnali();

  esito verifica_posizione(int32_t posizione);
  esito record_linea();
  // A record read for diagnosis only: a run-time failure is recorded as
  // code 25 and the rest of its line skipped.
  esito record_per_diagnosi() {
    try {
      return record_linea();
    } catch (const errore_esecuzione& x) {
      registra_fallimento(m_, x.what());
      l_.salta_riga();
      return esito::interrompi;
    }
  }
  esito pendenza();
  esito curva();
  esito montagna();
  esito indicatore_v_max();
  esito cartello();

  // Writes the gradient in force into the cell at the cursor and advances it,
  // at least once and then while the cursor is below `fino`. The cursor never
  // reaches the last cell; without any cell table the first write fails.
  void riempi_pendenza(int64_t fino);

  bool piano_attivo() const { return m_.calcola_tracciato != 0 && tracciato_presente(m_); }

  piattaforma& p_;
  modello& m_;
  const std::string nome_;
  lettore_campi l_;

  int32_t prossimo_cartello_ = voce_primo_cartello;
  int64_t cursore_pendenza_ = 0;
  int32_t pendenza_in_vigore_ = 0;
  int32_t cursore_piano_ = kInizioCursorePiano;

  // For the warnings only.
  sorveglianza_parole parole_{descrizione::linea};
  sorveglianza_ordine ordine_pendenze_{"pendenza"};
  sorveglianza_ordine ordine_montagne_{"montagna"};
  std::optional<std::pair<int32_t, int64_t>> curva_precedente_;  // start and end
  // Every length record makes the tables anew, empty; only the general
  // section reads lengths and it writes nothing into the tables, so they are
  // made once, for the last length read, whichever way the section ends.
  // Made at each record, a file of length records would cost a full-size
  // table each.
  bool tabelle_da_creare_ = false;
  int riga_generale_ = 0;
};

bool lettura_linea::leggi(consegna_linea& c) {
  // Everything before the first "[generale]" is skipped; the very last field
  // of the file is never taken for it.
  for (;;) {
    leggi_parola();
    if (l_.fine()) {
      m_.sorgente_riga = 0;  // the fault is the whole file's, not its last line's
      return rifiuta(codice_generale_assente);
    }
    if (contiene_nc(m_.riga, "[generale]")) break;
  }
  riga_generale_ = m_.sorgente_riga;
  bool segue;
  try {
    segue = sezione_generale();
  } catch (...) {
    crea_tabelle();
    throw;
  }
  crea_tabelle();
  if (!segue) return false;
  if (m_.celle.empty()) {
    const int riga = m_.sorgente_riga;
    m_.sorgente_riga = riga_generale_;
    avvisa(m_, avviso_lunghezza_assente, 0,
           "nessun record \"lunghezza percorso\" nella sezione generale, che comincia qui: la linea non ha lunghezza "
           "e nessun record dopo la sezione può essere compilato");
    m_.sorgente_riga = riga;
    if (m_.solo_diagnosi) return false;
  }
  progressive_ordina(m_);

  m_.conta_montagne = 0;
  if (piano_attivo()) semina_tracciato(m_);

  for (;;) {
    if (l_.fine()) break;
    const bool letta = prossima_parola(l_, m_.riga);
    m_.sorgente_riga = l_.riga();
    if (!letta) break;
    const record_descrizione* d = record_di(descrizione::linea, false, m_.riga);
    if (m_.solo_diagnosi && d) m_.letti.push_back({1, m_.sorgente_riga, d->parola});
    // A curve record is no record when the plan is off: its values are not read.
    const bool curva_spenta = m_.calcola_tracciato == 0 && contiene_nc(m_.riga, "curva");
    parole_.campo(m_, m_.riga, d != nullptr, curva_spenta);
    l_.inizia_record();
    const int riga_parola = m_.sorgente_riga;
    const std::string parola = m_.riga;
    const esito e = m_.solo_diagnosi ? record_per_diagnosi() : record_linea();
    if (m_.solo_diagnosi && e != esito::continua) {
      finisci_record_fermato(m_, l_, curva_spenta ? nullptr : d, parola, riga_parola, parole_);
      continue;
    }
    if (e == esito::interrompi) return false;
    if (e == esito::ferma) break;
    if (d && !curva_spenta) {
      controlla_record(m_, l_, *d, parola, riga_parola, parole_);
    }
  }

  p_.elimina(nome_);
  riempi_pendenza(int64_t{m_.ultima_cella} - 2);
  m_.pendenze_completate = true;
  if (piano_attivo()) completa_piano(m_, cursore_piano_);
  c.limite_cartelli = prossimo_cartello_;
  return true;
}

bool lettura_linea::sezione_generale() {
  for (;;) {
    if (l_.fine()) return true;
    leggi_parola();
    if (l_.fine()) return true;
    for (int k = 0; k < kTrattiniGenerale && contiene(m_.riga, "-"); ++k) leggi_parola();
    const std::string& r = m_.riga;
    l_.inizia_record();
    const int riga_parola = m_.sorgente_riga;
    parole_.campo(m_, r, parola_generale(r));

    if (contiene_nc(r, "percorso") && contiene_nc(r, "lunghezza")) {
      const int32_t lunghezza = l_.numero32();
      m_.voci[voce_lunghezza_convoglio].fine = lunghezza;
      if (lunghezza > kLunghezzaMassima || lunghezza < 0) {
        rifiuta(lunghezza > kLunghezzaMassima ? codice_lunghezza_eccessiva : codice_lunghezza_negativa);
        if (!m_.solo_diagnosi) return false;
      } else {
        dimensiona(lunghezza);
      }
    }
    for (auto [parola, n] : {std::pair{"tre", voce_progressiva_tre}, std::pair{"due", voce_progressiva_due},
                              std::pair{"uno", voce_progressiva_uno}}) {
      if (contiene(r, parola) && contiene(r, "progressiva")) {
        voce& v = m_.voci[static_cast<std::size_t>(n)];
        v.inizio = l_.numero32();
        v.fine = l_.numero32();
        v.posizione = l_.numero32();
      }
    }
    voce& linea = m_.voci[voce_linea];
    if (contiene(r, "sfondo") && contiene(r, "uno")) linea.inizio = l_.numero32();
    if (contiene(r, "sfondo") && contiene(r, "due")) linea.posizione = l_.numero32();
    if (contiene(r, "sfondo") && contiene(r, "tre")) linea.fine = l_.numero32();
    if (contiene(r, "segnali") && contiene(r, "ripetizione") && !ripetizione_segnali() && !m_.solo_diagnosi) {
      return false;
    }
    if (const record_descrizione* d = record_di(descrizione::linea, true, r)) {
      controlla_record(m_, l_, *d, r, riga_parola, parole_);
    }

    if (!inizia_con_trattino(r) && contiene(r, "[") && contiene(r, "]")) return true;
  }
}

void lettura_linea::dimensiona(int32_t lunghezza) {
  m_.lunghezza_tracciato = piu32(lunghezza, kMargineTracciato);
  m_.ultima_cella = a32(arrotonda(m_.lunghezza_tracciato / 50.0));
  tabelle_da_creare_ = true;
}

void lettura_linea::crea_tabelle() {
  if (!tabelle_da_creare_) return;
  tabelle_da_creare_ = false;
  m_.celle.assign(static_cast<std::size_t>(m_.ultima_cella) + 1, cella{});
  m_.origini.assign(m_.celle.size(), origine_cella{});
  if (m_.calcola_tracciato != 0) crea_tracciato(m_);
}

bool lettura_linea::ripetizione_segnali() {
  voce& v = m_.voci[voce_treno];
  v.inizio = l_.numero32();
  v.fine = l_.numero32();
  if (v.inizio % 50 != 0) return rifiuta(codice_ripetizione_inizio);
  if (v.fine % 50 != 0) return rifiuta(codice_ripetizione_fine);
  if (contiene(m_.riga, "4")) {
    v.posizione = 4;
  } else if (contiene(m_.riga, "9")) {
    v.posizione = 9;
  } else {
    return rifiuta(codice_ripetizione_codici);
  }
  if (v.fine == 0) v.posizione = 0;
  return true;
}

esito lettura_linea::verifica_posizione(int32_t posizione) {
  if (posizione < 0) {
    rifiuta(codice_linea_prima_origine, posizione);
    return esito::interrompi;
  }
  if (m_.ultima_cella < piu32(posizione, 100) / 50.0) {
    registra(m_, codice_fuori_percorso, posizione);
    return esito::ferma;
  }
  return esito::continua;
}

// The five tests look at the same keyword field, each on its own, in this
// order.
esito lettura_linea::record_linea() {
  using fn = esito (lettura_linea::*)();
  for (fn record : {&lettura_linea::pendenza, &lettura_linea::curva, &lettura_linea::montagna,
                    &lettura_linea::indicatore_v_max, &lettura_linea::cartello}) {
    const esito e = (this->*record)();
    if (e != esito::continua) return e;
  }
  return esito::continua;
}

void lettura_linea::riempi_pendenza(int64_t fino) {
  do {
    if (!m_.celle.empty() && cursore_pendenza_ >= m_.ultima_cella) return;
    cella_a(m_, cursore_pendenza_).pendenza = a8(piu32(pendenza_in_vigore_, 100));
    ++cursore_pendenza_;
  } while (cursore_pendenza_ < fino);
}

esito lettura_linea::pendenza() {
  if (!contiene_nc(m_.riga, "pendenza")) return esito::continua;
  const int32_t posizione = l_.numero32();
  const int32_t g = l_.numero32();
  if (const esito e = verifica_posizione(posizione); e != esito::continua) return e;
  ordine_pendenze_.posizione(m_, posizione);
  controlla_oltre_linea(m_, "pendenza", posizione, posizione);
  if (g < -100 || g > 155) {
    avvisa(m_, avviso_pendenza, posizione,
           "pendenza " + std::to_string(g) + " per mille, fuori dall'intervallo da -100 a 155");
  }
  const int64_t n = arrotonda(posizione / 50.0);
  if (n > 0) riempi_pendenza(n);
  pendenza_in_vigore_ = g;
  annota_provenienza(m_, genere_provenienza::pendenza, posizione, std::max<int64_t>(n, 0));
  return esito::continua;
}

esito lettura_linea::curva() {
  if (!contiene_nc(m_.riga, "curva") || m_.calcola_tracciato == 0) return esito::continua;
  const int32_t s = l_.numero32();
  const int32_t n = l_.numero32();
  if (const esito e = verifica_posizione(s); e != esito::continua) return e;
  const int64_t fine = int64_t{s} + n;
  controlla_oltre_linea(m_, "curva", s, fine);
  if (curva_precedente_) {
    const auto [inizio_prec, fine_prec] = *curva_precedente_;
    if (s < inizio_prec) {
      avvisa(m_, avviso_ordine, s,
             "curva a " + std::to_string(s) + " m dopo quella a " + std::to_string(inizio_prec) +
                 " m: le curve vanno in ordine crescente di posizione");
    } else if (s < fine_prec) {
      avvisa(m_, avviso_sovrapposizione, s,
             "curva a " + std::to_string(s) + " m dentro la precedente, che finisce a " +
                 std::to_string(fine_prec) + " m: curva solo dalla fine di quella");
    }
  }
  curva_precedente_ = {s, fine};
  if (n <= 0) {
    avvisa(m_, avviso_lunghezza, s,
           "curva di lunghezza " + std::to_string(n) + " m: non curva il tracciato (la lunghezza è in metri)");
  }
  if (piano_attivo() && !applica_curva(m_, cursore_piano_, m_.riga, s, n)) {
    rifiuta(codice_curva);
    return esito::interrompi;
  }
  annota_provenienza(m_, genere_provenienza::curva, s, -1);
  return esito::continua;
}

esito lettura_linea::montagna() {
  if (!contiene_nc(m_.riga, "montagna")) return esito::continua;
  int32_t inizio = l_.numero32();
  int32_t fine = l_.numero32();
  int32_t tipo = l_.numero32();
  if (const esito e = verifica_posizione(inizio); e != esito::continua) return e;
  if (m_.conta_montagne >= kMaxMontagne) {
    rifiuta(codice_troppe_montagne);
    return esito::interrompi;
  }
  ordine_montagne_.posizione(m_, inizio);
  controlla_oltre_linea(m_, "montagna", inizio, fine);
  memo_montagna(m_, inizio, fine, tipo);
  return esito::continua;
}

esito lettura_linea::indicatore_v_max() {
  if (!contiene_nc(m_.riga, "indicatori_v")) return esito::continua;
  const int32_t posizione = l_.numero32();
  std::array<int32_t, 8> v{};
  for (int32_t& x : v) x = l_.numero32();
  if (const esito e = verifica_posizione(posizione); e != esito::continua) return e;
  controlla_oltre_linea(m_, "cartello di velocità massima", posizione, posizione);
  const int64_t i = arrotonda(posizione / 50.0 + 1);
  if (tipo_in(m_, i) == cella_montagna) {
    avvisa_sostituzione(m_, posizione, "il cartello di velocità massima", cella_montagna, i);
  }
  if (!memo_indicatori_v_max(m_, posizione, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7])) {
    p_.elimina(nome_);
    return esito::interrompi;
  }
  std::string fuori_passo;
  for (std::size_t k : {0, 1, 2, 4, 5, 6}) {
    if (v[k] % 5 != 0) fuori_passo += (fuori_passo.empty() ? "" : ", ") + std::to_string(v[k]);
  }
  if (!fuori_passo.empty()) {
    avvisa(m_, avviso_velocita, posizione,
           "velocità " + fuori_passo + " km/h non multipla di 5 sul cartello di velocità massima");
  }
  return esito::continua;
}

esito lettura_linea::cartello() {
  if (!contiene_nc(m_.riga, "indicat") || !contiene_nc(m_.riga, "cartello")) return esito::continua;
  const int32_t posizione = l_.numero32();
  m_.riga = l_.testo();
  if (const esito e = verifica_posizione(posizione); e != esito::continua) return e;
  controlla_oltre_linea(m_, "cartello con testo", posizione, posizione);
  if (prossimo_cartello_ < 1) {
    rifiuta(codice_troppi_cartelli);
    return esito::interrompi;
  }
  // A name's length is written in 16 bits.
  if (m_.riga.size() > std::numeric_limits<uint16_t>::max()) {
    throw errore_esecuzione("testo del cartello oltre 65535 caratteri");
  }
  const int64_t i = arrotonda(posizione / 50.0 + 1);
  cella& c = cella_a(m_, i);
  if (!libera(c)) {
    const std::size_t prima = m_.guasti.size();
    rifiuta(codice_cartello_occupato, posizione);
    nota_occupante(m_, prima, i);
    return esito::interrompi;
  }
  if (c.tipo == cella_montagna) avvisa_sostituzione(m_, posizione, "il cartello con testo", c.tipo, i);
  c.tipo = cella_cartello;
  c.dato1 = a16(prossimo_cartello_);
  annota_provenienza(m_, genere_provenienza::cartello, posizione, i, prossimo_cartello_);
  segna_origine(m_, i, posizione);
  voce_a(m_, prossimo_cartello_).nome = m_.riga;
  controlla_codifica(m_, posizione, m_.riga);
  --prossimo_cartello_;
  return esito::continua;
}

}  // namespace

bool leggi_linea(piattaforma& p, modello& m, consegna_linea& c) {
  m.voci[voce_linea].nome = p.in_ansi(m.nome_linea);
  m.voci[voce_treno].nome = p.in_ansi(m.numero_treno);
  m.sorgente_file = 1;
  m.sorgente_riga = 0;
  std::string nome = nome_file(p, m.nome_linea, m.numero_treno, file_scenario::descrizione_linea);
  if (!p.esiste(nome)) {
    registra(m, codice_linea_assente);
    return false;
  }
  const std::string testo = p.leggi(nome, kMassimoDescrizione);
  controlla_tabulazioni(m, testo);
  lettura_linea lettura(p, m, std::move(nome), testo);
  const bool segue_treno = lettura.leggi(c);
  if (segue_treno) {
    m.sorgente_file = 0;
    m.sorgente_riga = 0;
  }
  return segue_treno;
}

void progressive_ordina(modello& m) {
  voce* const voci[3] = {&m.voci[voce_progressiva_tre], &m.voci[voce_progressiva_due],
                         &m.voci[voce_progressiva_uno]};
  const tratto t = da_voce(*voci[0]);
  const tratto d = da_voce(*voci[1]);
  const tratto u = da_voce(*voci[2]);
  std::array<tratto, 3> ordine{};  // all zero unless an order is found below

  if (piu32(piu32(t.inizio, d.inizio), u.inizio) != 0) {
    // In order of preference when starts are equal: U, then D, then T.
    const std::array<tratto, 3> pref = {u, d, t};
    for (std::size_t i = 0; i < 3; ++i) {
      const tratto& a = pref[i];
      const tratto* resto[2];
      std::size_t n = 0;
      for (std::size_t k = 0; k < 3; ++k) {
        if (k != i) resto[n++] = &pref[k];
      }
      if (a.inizio > resto[0]->inizio && a.inizio > resto[1]->inizio) {
        // The greater start first; on equal starts the preferred one.
        if (resto[1]->inizio > resto[0]->inizio) std::swap(resto[0], resto[1]);
        ordine = {a, *resto[0], *resto[1]};
        break;
      }
    }
  } else if (u.fine > 0) {
    ordine = {u, d, t};
  } else if (d.fine > 0) {
    ordine = {d, t, u};
  } else if (t.fine > 0) {
    ordine = {t, d, u};
  }

  for (std::size_t i = 0; i < 3; ++i) {
    in_voce(*voci[i], ordine[i]);
    if (voci[i]->posizione == 1) voci[i]->fine = piu32(voci[i]->fine, 100);
  }
}

void memo_montagna(modello& m, int32_t& inizio, int32_t& fine, int32_t& tipo) {
  bool marcata = false;
  if (tipo > 10) {
    tipo -= 10;
    marcata = true;
  }
  if (m.conta_montagne >= kMaxMontagne) throw errore_esecuzione("troppe montagne");
  ++m.conta_montagne;
  const auto k = static_cast<std::size_t>(m.conta_montagne);
  m.montagne_inizio[k] = inizio;
  m.montagne_fine[k] = fine;
  if (k > 1 && meno32(inizio, m.montagne_fine[k - 1]) <= 150) tipo = 3;

  const int64_t prima = arrotonda(inizio / 50.0);
  annota_provenienza(m, genere_provenienza::montagna, inizio, prima);
  int64_t ultima = arrotonda(fine / 50.0 - 1);
  if (ultima > m.ultima_cella) ultima = m.ultima_cella;  // the span is cut at the last cell
  int64_t conta = 0;
  for (int64_t i = prima; i <= ultima; ++i) {
    ++conta;
    cella& c = cella_a(m, i);
    c.montagna = a8(tipo);
    if (marcata && conta % 4 == 0 && c.tipo == cella_libera) {
      c.tipo = cella_montagna;
      segna_origine(m, i, inizio);
    }
  }
}

bool memo_indicatori_v_max(modello& m, int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs, int32_t strisces,
                           int32_t vad, int32_t vbd, int32_t vcd, int32_t strisced) {
  const int64_t i = arrotonda(posizione / 50.0 + 1);
  cella& c = cella_a(m, i);
  if (!libera(c)) {
    const std::size_t prima = m.guasti.size();
    registra(m, codice_indicatore_occupato, posizione);
    nota_occupante(m, prima, i);
    return false;
  }
  segna_origine(m, i, posizione);
  const auto coppia = [](int32_t s, int32_t d) {
    return a16_esatto(arrotonda(static_cast<double>(per32(s, 20)) + d / 5.0));
  };
  c.tipo = cella_indicatore_v_max;
  c.dato1 = coppia(vas, vad);
  c.dato2 = coppia(vbs, vbd);
  c.dato3 = coppia(vcs, vcd);
  c.dato4 = a16(int64_t{strisces} * 10 + strisced);
  annota_provenienza(m, genere_provenienza::cartello_vmax, posizione, arrotonda(posizione / 50.0 + 1));
  return true;
}

}  // namespace scenario
