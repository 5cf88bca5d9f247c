// The train half of `memorizza_dati`: the train description read into the
// model, then deleted; the two profiles completed to the end of the track.
#include <limits>
#include <string>
#include <utility>

#include "compiler/avvisi.h"
#include "compiler/campi.h"
#include "compiler/collocamento.h"
#include "compiler/esecuzione.h"
#include "compiler/guasti.h"
#include "compiler/occupanti.h"
#include "compiler/parole.h"
#include "compiler/lettori.h"
#include "common/limiti.h"
#include "common/nomi.h"
#include "compiler/voci.h"

namespace scenario {
namespace {

constexpr int kFileTreno = 2;
constexpr int kFileLinea = 1;

using esito = esito_record;

// One profile (speed or adhesion) in 50 m steps: the value in force fills
// the cells from the cursor up to the next record's cell.
struct profilo {
  int64_t cursore = 0;
  int32_t in_vigore = 0;
};

uint8_t quinto_velocita(int32_t v) { return a8_esatto(arrotonda(v / 5.0)); }

class lettore_treno {
 public:
  lettore_treno(piattaforma& p, modello& m, const consegna_linea& c)
      : p_(p), m_(m), limite_cartelli_(c.limite_cartelli),
        nome_(nome_file(p, m.nome_linea, m.numero_treno, file_scenario::descrizione_treno)) {}

  void leggi() {
    m_.sorgente_file = kFileTreno;
    m_.sorgente_riga = 0;
    const std::string testo = p_.leggi(nome_, kMassimoDescrizione);
    controlla_tabulazioni(m_, testo);
    lettore_campi l(testo);

    // Nothing before the general section counts; without one the file
    // simply has no records.
    bool generale = false;
    while (!l.fine()) {
      m_.riga = l.testo();
      if (contiene_nc(m_.riga, "[generale]")) {
        generale = true;
        break;
      }
    }

    conteggio_record conta;
    while (prossima_parola(l, m_.riga)) {
      m_.sorgente_riga = l.riga();
      const record_descrizione* d = record_di(descrizione::treno, false, m_.riga);
      parole_.campo(m_, m_.riga, d != nullptr);
      l.inizia_record();
      const std::string parola = m_.riga;
      if (d) conta.conta(*d);
      if (m_.solo_diagnosi) {
        if (d) m_.letti.push_back({kFileTreno, m_.sorgente_riga, d->parola});
        if (record_per_diagnosi(l) != esito::continua) {
          finisci_record_fermato(m_, l, d, parola, m_.sorgente_riga, parole_);
          continue;
        }
        if (d) controlla_record(m_, l, *d, parola, m_.sorgente_riga, parole_);
        continue;
      }
      const esito e = record(l);
      if (e == esito::interrompi) {
        p_.elimina(nome_);
        return;
      }
      if (e == esito::ferma) break;
      if (d) controlla_record(m_, l, *d, parola, m_.sorgente_riga, parole_);
    }
    fine_lettura();
    avvisa_se_manca(generale, conta);
  }

 private:
  // A record read for diagnosis only: a run-time failure is recorded as
  // code 25 and the rest of its line skipped.
  esito record_per_diagnosi(lettore_campi& l) {
    try {
      return record(l);
    } catch (const errore_esecuzione& x) {
      registra_fallimento(m_, x.what());
      l.salta_riga();
      return esito::interrompi;
    }
  }

  // The keyword tests are independent: a field holding two keywords is read
  // as both records, one after the other.
  esito record(lettore_campi& l) {
    const std::string parola = m_.riga;
    if (contiene_nc(parola, "frenata") && contiene_nc(parola, "massa")) m_.voci[voce_lunghezza_convoglio].inizio = l.numero32();
    if (contiene_nc(parola, "vetture")) m_.voci[voce_lunghezza_convoglio].posizione = l.numero32();
    esito e = esito::continua;
    if (contiene_nc(parola, "velocit")) e = velocita(l);
    if (e == esito::continua && contiene_nc(parola, "aderenza")) e = aderenza(l);
    if (e != esito::continua) return e;
    if (contiene_nc(parola, "orologio")) {
      voce& v = m_.voci[voce_treno];
      v.gruppo_2a = l.numero16();
      v.gruppo_2b = l.numero16();
      v.gruppo_2c = l.numero16();
    }
    if (contiene_nc(parola, "sabbia")) m_.voci[voce_treno].gruppo_1a = l.numero16();
    if (contiene_nc(parola, "segnale")) e = segnale(l);
    if (e == esito::continua && contiene_nc(parola, "rallentamento")) e = rallentamento(l);
    if (e == esito::continua && contiene_nc(parola, "abbattimento")) e = abbattimento(l);
    if (e == esito::continua && contiene_nc(parola, "stazione")) e = stazione(l);
    return e;
  }

  bool dentro(int32_t p, int margine) const {
    return (static_cast<double>(p) + margine) / 50.0 <= m_.ultima_cella;
  }

  // The position checks of every positioned record: beyond the track stops
  // the reading (15), before the origin aborts it (26). Continues otherwise.
  esito controlla_posizione(int32_t p, int margine = 100) {
    if (!dentro(p, margine)) {
      registra(m_, codice_fuori_percorso, p);
      return esito::ferma;
    }
    if (p < 0) return interrompi(codice_treno_prima_origine, p);
    return esito::continua;
  }

  esito interrompi(codice_guasto codice, int32_t posizione) {
    registra(m_, codice, posizione);
    return esito::interrompi;
  }

  // After a placement procedure: any code now in the model, its own or one
  // left earlier, aborts the reading at this record's position.
  esito dopo_collocamento(int64_t guasti_prima, std::size_t tenuti_prima, int32_t posizione) {
    if (m_.codice_errore <= 0) return esito::continua;
    // A reading for diagnosis goes past every stop: only a fault of this
    // record refuses it.
    if (m_.solo_diagnosi && m_.guasti_registrati == guasti_prima) return esito::continua;
    if (m_.guasti_registrati > guasti_prima) {
      m_.posizione_errore = posizione;
      if (m_.guasti.size() > tenuti_prima) m_.guasti.back().posizione = posizione;
      return esito::interrompi;
    }
    const int32_t precedente = m_.codice_errore;
    registra(m_, precedente, posizione);
    const esito e = esito::interrompi;
    m_.guasti.back().dettaglio =
        "la lettura si ferma qui per il guasto precedente (codice " + std::to_string(precedente) + ")";
    return e;
  }

  // Fills from the cursor up to cell n (at least one cell when n > 0), never
  // past ultima_cella.
  template <typename Scrivi>
  void riempi(profilo& pr, int64_t n, Scrivi scrivi) {
    if (n <= 0) return;
    do {
      if (pr.cursore >= m_.ultima_cella) return;
      scrivi(cella_a(m_, pr.cursore), pr.in_vigore);
      ++pr.cursore;
    } while (pr.cursore < n);
  }

  static void scrivi_velocita(cella& c, int32_t v) { c.velocita_max = quinto_velocita(v); }
  static void scrivi_aderenza(cella& c, int32_t a) { c.aderenza = a8(a); }

  esito velocita(lettore_campi& l) {
    const int32_t p = l.numero32();
    const int32_t v = l.numero32();
    if (esito e = controlla_posizione(p); e != esito::continua) return e;
    ordine_velocita_.posizione(m_, p);
    controlla_oltre_linea(m_, "velocita", p, p);
    if (v % 5 != 0) {
      avvisa(m_, avviso_velocita, p,
             "velocità " + std::to_string(v) + " km/h non multipla di 5: il profilo la tiene in quinti arrotondati");
    }
    riempi(velocita_, arrotonda(p / 50.0), scrivi_velocita);
    velocita_.in_vigore = v;
    annota_provenienza(m_, genere_provenienza::velocita, p, arrotonda(p / 50.0));
    return esito::continua;
  }

  esito aderenza(lettore_campi& l) {
    const int32_t p = l.numero32();
    const int32_t a = l.numero32();
    if (esito e = controlla_posizione(p); e != esito::continua) return e;
    ordine_aderenza_.posizione(m_, p);
    controlla_oltre_linea(m_, "aderenza", p, p);
    riempi(aderenza_, arrotonda(p / 50.0), scrivi_aderenza);
    aderenza_.in_vigore = a;
    annota_provenienza(m_, genere_provenienza::aderenza, p, arrotonda(p / 50.0));
    return esito::continua;
  }

  esito segnale(lettore_campi& l) {
    int32_t v[11];
    for (int32_t& x : v) x = l.numero32();
    if (esito e = controlla_posizione(v[0]); e != esito::continua) return e;
    controlla_oltre_linea(m_, "segnale", v[0], v[0]);
    const int64_t prima = m_.guasti_registrati;
    const std::size_t tenuti = m_.guasti.size();
    const int32_t tempo = v[10];
    memo_segnale(m_, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10]);
    const esito e = dopo_collocamento(prima, tenuti, v[0]);
    if (e == esito::continua && tempo != 0 && v[1] != 2) {
      avvisa(m_, avviso_scartato, v[0],
             "tempo " + std::to_string(tempo) + " del segnale ignorato: si tiene solo quando sx è 2 (qui " +
                 std::to_string(v[1]) + ")");
    }
    return e;
  }

  esito rallentamento(lettore_campi& l) {
    int32_t v[6];
    for (int32_t& x : v) x = l.numero32();
    if (esito e = controlla_posizione(v[0]); e != esito::continua) return e;
    controlla_oltre_linea(m_, "rallentamento", v[0], int64_t{v[0]} + v[2]);
    const int64_t prima = m_.guasti_registrati;
    const std::size_t tenuti = m_.guasti.size();
    memo_rallentamento(m_, v[0], v[1], v[2], v[3], v[4], v[5]);
    const esito e = dopo_collocamento(prima, tenuti, v[0]);
    if (e != esito::continua) return e;
    if (v[2] <= 0) {
      avvisa(m_, avviso_lunghezza, v[0],
             "rallentamento di lunghezza " + std::to_string(v[2]) + " m: inizio e fine cadono sulla stessa cella o prima");
    }
    if (v[4] != 0 && v[0] <= 1500) {
      avvisa(m_, avviso_scartato, v[0], "f_ta ignorato: un rallentamento entro 1500 m non ha avviso né preavvisi");
    }
    return e;
  }

  // A point on cell round(p/50), without the added 1 of signals.
  esito abbattimento(lettore_campi& l) {
    const int32_t p = l.numero32();
    const int32_t n = l.numero32();
    if (esito e = controlla_posizione(p); e != esito::continua) return e;
    controlla_oltre_linea(m_, "abbattimento", p, p);
    const int64_t i = arrotonda(p / 50.0);
    cella& c = cella_a(m_, i);
    if (!libera(c)) {
      const std::size_t prima = m_.guasti.size();
      interrompi(codice_abbattimento_occupato, p);
      nota_occupante(m_, prima, i);
      return esito::interrompi;
    }
    if (c.tipo == cella_montagna) avvisa_sostituzione(m_, p, "l'abbattimento", c.tipo, i);
    annota_provenienza(m_, genere_provenienza::abbattimento, p, i);
    segna_origine(m_, i, p);
    if (n >= 1) {
      c.tipo = cella_abbattimento;
      c.dato1 = a16(n);
    } else {
      c.tipo = cella_abbattimento_zero;
    }
    return esito::continua;
  }

  // What the description held, for the warnings about what it lacks.
  struct conteggio_record {
    int record = 0;
    int stazioni = 0;
    int velocita = 0;
    void conta(const record_descrizione& d) {
      ++record;
      if (std::string_view(d.parola) == "stazione") ++stazioni;
      if (std::string_view(d.parola) == "velocita") ++velocita;
    }
  };
  void avvisa_se_manca(bool generale, const conteggio_record& c) {
    m_.sorgente_riga = 0;
    if (!generale) {
      avvisa(m_, avviso_vuota, 0, "nessun campo \"[generale]\": la descrizione del treno non ha record");
      return;
    }
    if (c.record == 0) {
      avvisa(m_, avviso_vuota, 0, "nessun record dopo \"[generale]\": la descrizione del treno non ha record");
      return;
    }
    if (c.stazioni == 0) avvisa(m_, avviso_descrizione, 0, "nessuna stazione");
    if (c.velocita == 0) {
      avvisa(m_, avviso_descrizione, 0, "nessun record velocita: la velocità massima è 0 su tutto il tracciato");
    }
  }

  esito stazione(lettore_campi& l);
  void leggi_resto_stazione(lettore_campi& l, voce& s);
  void zona_stazione(voce& s, int32_t i, int32_t lunghezza);
  esito segni_stazione(const voce& s, int32_t i);
  void fine_lettura();

  piattaforma& p_;
  modello& m_;
  const int32_t limite_cartelli_;
  const std::string nome_;
  profilo velocita_;
  profilo aderenza_;
  int32_t numero_stazione_ = 1;

  // For the warnings only.
  sorveglianza_parole parole_{descrizione::treno};
  sorveglianza_ordine ordine_velocita_{"velocita"};
  sorveglianza_ordine ordine_aderenza_{"aderenza"};
  sorveglianza_ordine ordine_stazioni_{"stazione"};
};

// The steps run in order and what an earlier step stored stays stored when a
// later one aborts.
esito lettore_treno::stazione(lettore_campi& l) {
  const int32_t i = numero_stazione_;
  // With every sign entry taken by texts there is no room even for the
  // first station: nothing may overwrite a sign's text.
  if (i > limite_cartelli_) {
    registra(m_, codice_stazioni_esaurite);
    return esito::interrompi;
  }
  voce& s = voce_a(m_, i);

  s.posizione = l.numero32();
  const int32_t pos = s.posizione;
  if (esito e = controlla_posizione(pos, 800); e != esito::continua) return e;
  if (pos % 50 != 0) return interrompi(codice_stazione_fuori_passo, pos);
  ordine_stazioni_.posizione(m_, pos);

  s.tipo = l.numero8();
  const int32_t lunghezza = l.numero32();
  if (lunghezza % 100 != 0) return interrompi(codice_zona_fuori_passo, pos);
  leggi_resto_stazione(l, s);
  if (s.attributo_2 != 0 && (lunghezza < 600 || i == voce_prima_stazione)) {
    avvisa(m_, avviso_scartato, pos,
           "quinto valore " + std::to_string(s.attributo_2) +
               " ignorato: si tiene solo con una zona di 600 m o più e non per la prima stazione");
  }
  if (s.attributo_3 != 0 && s.tipo >= 5 && s.tipo <= 8) {
    avvisa(m_, avviso_scartato, pos,
           "sesto valore " + std::to_string(s.attributo_3) + " ignorato: i tipi da 5 a 8 hanno una zona propria");
  }
  controlla_codifica(m_, pos, s.nome);
  zona_stazione(s, i, lunghezza);
  controlla_oltre_linea(m_, "stazione con la sua zona", pos, s.fine);
  annota_provenienza(m_, genere_provenienza::stazione, pos, -1, i);
  if (s.tipo < 25) {
    if (esito e = segni_stazione(s, i); e != esito::continua) return e;
  }

  if (i > 1 && meno32(s.inizio, 350) < voce_a(m_, i - 1).fine) return interrompi(codice_stazioni_vicine, pos);

  numero_stazione_ = i + 1;
  if (numero_stazione_ >= limite_cartelli_) {
    registra(m_, codice_stazioni_esaurite);
    return esito::interrompi;
  }
  return esito::continua;
}

// Values 4 to 17 of a station record, stored as read; the time as seconds
// since midnight.
void lettore_treno::leggi_resto_stazione(lettore_campi& l, voce& s) {
  s.attributo_1 = l.numero8();
  s.attributo_2 = l.numero8();
  s.attributo_3 = l.numero8();
  s.gruppo_1a = l.numero16();
  s.gruppo_1b = l.numero16();
  s.gruppo_1c = l.numero8();
  s.gruppo_2a = l.numero16();
  s.gruppo_2b = l.numero16();
  s.gruppo_2c = l.numero16();
  s.attributo_4 = l.numero8();
  const int32_t ore = l.numero32();
  const int32_t minuti = l.numero32();
  const int32_t secondi = l.numero32();
  s.orario = piu32(piu32(per32(ore, 3600), per32(minuti, 60)), secondi);
  m_.riga = l.testo();
  // A name ends at its last non-blank character; its length is written in
  // 16 bits.
  std::string nome = m_.riga.substr(0, m_.riga.find_last_not_of(" \t") + 1);
  if (nome.size() > std::numeric_limits<uint16_t>::max()) {
    throw errore_esecuzione("nome della stazione oltre 65535 caratteri");
  }
  s.nome = std::move(nome);
}

// The zone: before and after the station for kinds 5 to 8, centred on it
// otherwise; then the attributes that the zone or the first place clears.
void lettore_treno::zona_stazione(voce& s, int32_t i, int32_t lunghezza) {
  const int32_t pos = s.posizione;
  if (s.tipo == 5 || s.tipo == 6) {
    s.inizio = meno32(pos, lunghezza);
    s.fine = piu32(pos, 150);
    s.attributo_3 = 0;
  } else if (s.tipo == 7 || s.tipo == 8) {
    s.inizio = meno32(pos, lunghezza);
    s.fine = piu32(pos, lunghezza);
    s.attributo_3 = 0;
  } else {
    s.inizio = meno32(pos, lunghezza / 2);
    s.fine = piu32(pos, lunghezza / 2);
    if (s.attributo_3 != 0) s.fine = piu32(s.fine, 50);
  }
  if (lunghezza < 600) s.attributo_2 = 0;
  if (i == voce_prima_stazione) {
    s.attributo_3 = 0;
    s.attributo_2 = 0;
  }
}

// The approach marks and the marker of a station of a kind below 25, on the
// cells before its zone's end, written whatever the cells hold.
esito lettore_treno::segni_stazione(const voce& s, int32_t i) {
  const double q0 = s.fine / 50.0 - 1;
  // A zone reaching past the track would put its marks outside the table.
  if (q0 > 1 && arrotonda(q0) > m_.ultima_cella) return interrompi(codice_segnaposto_oltre, s.posizione);
  if (s.tipo != 5 && s.tipo != 6) {
    for (int k = 1; k <= 4; ++k) {
      const double q = q0 - k;
      if (q > 1) cella_a(m_, arrotonda(q)).richiamo = a8(80 + k);
    }
  }
  if (q0 <= 1) {
    registra(m_, codice_segnaposto_iniziale);
    return esito::interrompi;
  }
  const int64_t c = arrotonda(q0);
  cella& marcatore = cella_a(m_, c);
  if (marcatore.tipo != cella_libera) {
    avvisa_sostituzione(m_, s.posizione, "il segnaposto della stazione", marcatore.tipo, c);
  }
  marcatore.tipo = cella_stazione;
  marcatore.dato1 = a16(i);
  segna_origine(m_, c, s.posizione);
  return esito::continua;
}

void lettore_treno::fine_lettura() {
  p_.elimina(nome_);
  // Each completion writes at least one cell; the last three cells are left
  // to the end of the track.
  const int64_t ultima = int64_t{m_.ultima_cella} - 2;
  do {
    scrivi_velocita(cella_a(m_, velocita_.cursore), velocita_.in_vigore);
    ++velocita_.cursore;
  } while (velocita_.cursore < ultima);
  do {
    scrivi_aderenza(cella_a(m_, aderenza_.cursore), aderenza_.in_vigore);
    ++aderenza_.cursore;
  } while (aderenza_.cursore < ultima);
  m_.profili_completati = true;

  // The kilometre progressives come from the line description.
  for (int e : {voce_progressiva_tre, voce_progressiva_due, voce_progressiva_uno}) {
    if (m_.voci[e].inizio % 50 != 0 || m_.voci[e].fine % 50 != 0) {
      m_.sorgente_file = kFileLinea;
      m_.sorgente_riga = 0;
      registra(m_, codice_progressiva_fuori_passo);
      break;
    }
  }
}

}  // namespace

void leggi_treno(piattaforma& p, modello& m, const consegna_linea& c) { lettore_treno(p, m, c).leggi(); }

}  // namespace scenario
