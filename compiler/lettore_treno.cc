// The train half of `memorizza_dati`: the train description read into the
// model, then deleted; the two profiles completed to the end of the track.
#include <limits>
#include <string>
#include <utility>

#include "compiler/avvisi.h"
#include "compiler/campi.h"
#include "compiler/collocamento.h"
#include "compiler/esecuzione.h"
#include "compiler/lettori.h"
#include "common/limiti.h"
#include "common/nomi.h"

namespace scenario {
namespace {

constexpr int kFileTreno = 2;
constexpr int kFileLinea = 1;

int32_t piu32(int32_t a, int32_t b) { return a32(int64_t{a} + b); }
int32_t meno32(int32_t a, int32_t b) { return a32(int64_t{a} - b); }
int32_t per32(int32_t a, int32_t b) { return a32(int64_t{a} * b); }

// How a record handler ends the reading, if it does.
enum class esito { continua, ferma, interrompi };

// One profile (speed or adhesion) in 50 m steps: the value in force fills
// the cells from the cursor up to the next record's cell.
struct profilo {
  int64_t cursore = 0;
  int32_t in_vigore = 0;
};

// The keyword tests of the record loop, for the warnings only.
bool parola_di_treno(std::string_view r) {
  for (const char* k : {"vetture", "velocit", "aderenza", "orologio", "sabbia", "segnale", "rallentamento",
                        "abbattimento", "stazione"}) {
    if (contiene_nc(r, k)) return true;
  }
  return contiene_nc(r, "frenata") && contiene_nc(r, "massa");
}

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
    lettore_campi l(testo);

    // Nothing before the general section counts; without one the file
    // simply has no records.
    while (!l.fine()) {
      m_.riga = l.testo();
      if (contiene_nc(m_.riga, "[generale]")) break;
    }

    while (prossima_parola(l)) {
      m_.sorgente_riga = l.riga();
      parole_.campo(m_, m_.riga, parola_di_treno(m_.riga));
      const esito e = record(l);
      if (e == esito::interrompi) {
        p_.elimina(nome_);
        return;
      }
      if (e == esito::ferma) break;
    }
    fine_lettura();
  }

 private:
  // The next keyword field into `riga`: a field with a dash is passed over,
  // and so is a second one; the third is taken whatever it holds. False at
  // the end of the file, whose last field is never a keyword.
  bool prossima_parola(lettore_campi& l) {
    if (l.fine()) return false;
    m_.riga = l.testo();
    if (l.fine()) return false;
    for (int salti = 0; salti < 2 && contiene(m_.riga, "-"); ++salti) {
      m_.riga = l.testo();
      if (l.fine()) return false;
    }
    return true;
  }

  // The keyword tests are independent: a field holding two keywords is read
  // as both records, one after the other.
  esito record(lettore_campi& l) {
    const std::string parola = m_.riga;
    if (contiene_nc(parola, "frenata") && contiene_nc(parola, "massa")) m_.voci[84].inizio = l.numero32();
    if (contiene_nc(parola, "vetture")) m_.voci[84].posizione = l.numero32();
    esito e = esito::continua;
    if (contiene_nc(parola, "velocit")) e = velocita(l);
    if (e == esito::continua && contiene_nc(parola, "aderenza")) e = aderenza(l);
    if (e != esito::continua) return e;
    if (contiene_nc(parola, "orologio")) {
      voce& v = m_.voci[86];
      v.gruppo_2a = l.numero16();
      v.gruppo_2b = l.numero16();
      v.gruppo_2c = l.numero16();
    }
    if (contiene_nc(parola, "sabbia")) m_.voci[86].gruppo_1a = l.numero16();
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
      registra(m_, 15, p);
      return esito::ferma;
    }
    if (p < 0) return interrompi(26, p);
    return esito::continua;
  }

  esito interrompi(int32_t codice, int32_t posizione) {
    registra(m_, codice, posizione);
    return esito::interrompi;
  }

  // After a placement procedure: any code now in the model, its own or one
  // left earlier, aborts the reading at this record's position.
  esito dopo_collocamento(std::size_t guasti_prima, int32_t posizione) {
    if (m_.codice_errore <= 0) return esito::continua;
    if (m_.guasti.size() > guasti_prima) {
      m_.posizione_errore = posizione;
      m_.guasti.back().posizione = posizione;
      return esito::interrompi;
    }
    const int32_t precedente = m_.codice_errore;
    const esito e = interrompi(precedente, posizione);
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
    if (v % 5 != 0) {
      avvisa(m_, avviso_velocita, p,
             "velocità " + std::to_string(v) + " km/h non multipla di 5: il profilo la tiene in quinti arrotondati");
    }
    riempi(velocita_, arrotonda(p / 50.0), scrivi_velocita);
    velocita_.in_vigore = v;
    return esito::continua;
  }

  esito aderenza(lettore_campi& l) {
    const int32_t p = l.numero32();
    const int32_t a = l.numero32();
    if (esito e = controlla_posizione(p); e != esito::continua) return e;
    ordine_aderenza_.posizione(m_, p);
    riempi(aderenza_, arrotonda(p / 50.0), scrivi_aderenza);
    aderenza_.in_vigore = a;
    return esito::continua;
  }

  esito segnale(lettore_campi& l) {
    int32_t v[11];
    for (int32_t& x : v) x = l.numero32();
    if (esito e = controlla_posizione(v[0]); e != esito::continua) return e;
    const std::size_t prima = m_.guasti.size();
    memo_segnale(m_, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10]);
    return dopo_collocamento(prima, v[0]);
  }

  esito rallentamento(lettore_campi& l) {
    int32_t v[6];
    for (int32_t& x : v) x = l.numero32();
    if (esito e = controlla_posizione(v[0]); e != esito::continua) return e;
    const std::size_t prima = m_.guasti.size();
    memo_rallentamento(m_, v[0], v[1], v[2], v[3], v[4], v[5]);
    return dopo_collocamento(prima, v[0]);
  }

  // A point on cell round(p/50), without the added 1 of signals.
  esito abbattimento(lettore_campi& l) {
    const int32_t p = l.numero32();
    const int32_t n = l.numero32();
    if (esito e = controlla_posizione(p); e != esito::continua) return e;
    const int64_t i = arrotonda(p / 50.0);
    cella& c = cella_a(m_, i);
    if (!libera(c)) return interrompi(7, p);
    if (c.tipo == cella_montagna) avvisa_sostituzione(m_, p, "l'abbattimento", c.tipo, i);
    if (n >= 1) {
      c.tipo = cella_abbattimento;
      c.dato1 = a16(n);
    } else {
      c.tipo = cella_abbattimento_zero;
    }
    return esito::continua;
  }

  esito stazione(lettore_campi& l);
  void fine_lettura();

  piattaforma& p_;
  modello& m_;
  const int32_t limite_cartelli_;
  const std::string nome_;
  profilo velocita_;
  profilo aderenza_;
  int32_t numero_stazione_ = 1;

  // For the warnings only.
  sorveglianza_parole parole_;
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
    registra(m_, 10);
    return esito::interrompi;
  }
  voce& s = voce_a(m_, i);

  s.posizione = l.numero32();
  const int32_t pos = s.posizione;
  if (esito e = controlla_posizione(pos, 800); e != esito::continua) return e;
  if (pos % 50 != 0) return interrompi(8, pos);
  ordine_stazioni_.posizione(m_, pos);

  s.tipo = l.numero8();
  const int32_t lunghezza = l.numero32();
  if (lunghezza % 100 != 0) return interrompi(9, pos);

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

  // The zone: before and after the station for kinds 5 to 8, centred on it
  // otherwise.
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
  if (i == 1) {
    s.attributo_3 = 0;
    s.attributo_2 = 0;
  }

  if (s.tipo < 25) {
    const double q0 = s.fine / 50.0 - 1;
    // A zone reaching past the track would put its marks outside the table.
    if (q0 > 1 && arrotonda(q0) > m_.ultima_cella) return interrompi(27, pos);
    if (s.tipo != 5 && s.tipo != 6) {
      for (int k = 1; k <= 4; ++k) {
        const double q = q0 - k;
        if (q > 1) cella_a(m_, arrotonda(q)).richiamo = a8(80 + k);
      }
    }
    if (q0 <= 1) {
      registra(m_, 24);
      return esito::interrompi;
    }
    const int64_t c = arrotonda(q0);
    cella& marcatore = cella_a(m_, c);
    if (marcatore.tipo != cella_libera) {
      avvisa_sostituzione(m_, pos, "il segnaposto della stazione", marcatore.tipo, c);
    }
    marcatore.tipo = cella_stazione;
    marcatore.dato1 = a16(i);
  }

  if (i > 1 && meno32(s.inizio, 350) < voce_a(m_, i - 1).fine) return interrompi(22, pos);

  numero_stazione_ = i + 1;
  if (numero_stazione_ >= limite_cartelli_) {
    registra(m_, 10);
    return esito::interrompi;
  }
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

  // The kilometre progressives come from the line description.
  for (int e = 81; e <= 83; ++e) {
    if (m_.voci[e].inizio % 50 != 0 || m_.voci[e].fine % 50 != 0) {
      m_.sorgente_file = kFileLinea;
      m_.sorgente_riga = 0;
      registra(m_, 2);
      break;
    }
  }
}

}  // namespace

void leggi_treno(piattaforma& p, modello& m, const consegna_linea& c) { lettore_treno(p, m, c).leggi(); }

}  // namespace scenario
