#include "compiler/tracciato.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "compiler/campi.h"
#include "compiler/esecuzione.h"

namespace scenario {
namespace {

constexpr double kTassi[] = {0.0, 0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// The last row that any step may compute.
int64_t ultima_riga_calcolabile(const modello& m) { return int64_t{m.lunghezza_tracciato} - 2; }

// The row after the last one computed.
int32_t cursore(const piano_tracciato& p) { return p.tratti.empty() ? kInizioCursorePiano : p.tratti.back().fino + 1; }

// Steps the rows from the cursor j up to row `fino`, each straight (r = 0)
// or turning at rate r, and leaves j after the last one. Only the stretch
// is kept; its rows are computed when they are written.
void passi(modello& m, int32_t& j, int64_t fino, double r) {
  if (j > fino) return;
  piano_tracciato& p = m.piano;
  if (j != cursore(p)) throw std::logic_error("cursore del piano disallineato");
  if (j - 2 < 0 || fino >= p.righe) {
    throw errore_esecuzione("riga " + std::to_string(fino) + " fuori dal tracciato");
  }
  const auto f = static_cast<int32_t>(fino);
  if (!p.tratti.empty() && p.tratti.back().tasso == r) {
    p.tratti.back().fino = f;
  } else {
    p.tratti.push_back({f, r});
  }
  j = f + 1;
}

}  // namespace

bool tracciato_presente(const modello& m) { return m.piano.righe > 0; }

void crea_tracciato(modello& m) {
  m.piano = {};
  m.piano.righe = a32(int64_t{m.lunghezza_tracciato} + 1);
}

void semina_tracciato(modello& m) {
  if (m.piano.righe < 2) throw errore_esecuzione("riga 0 fuori dal tracciato");
  m.piano.seminato = true;
}

int classe_curva(std::string_view parola) {
  for (int classe = 1; classe <= 6; ++classe) {
    const char cifra[2] = {static_cast<char>('0' + classe), '\0'};
    if (contiene(parola, cifra)) return classe;
  }
  return 0;
}

double tasso_curva(int classe) { return classe >= 1 && classe <= 6 ? kTassi[classe] : 0.0; }

bool applica_curva(modello& m, int32_t& j, std::string_view parola, int32_t s, int32_t n) {
  const int classe = classe_curva(parola);
  if (classe == 0) return false;
  const double r = contiene_nc(parola, "s") ? -tasso_curva(classe) : tasso_curva(classe);
  const int32_t fine = a32(int64_t{s} + n);
  const int64_t limite = ultima_riga_calcolabile(m);
  // The cursor is tested after every step; stepping no further than row
  // kCursorePianoMassimo and then testing once gives the same outcome.
  const int64_t massimo = std::min<int64_t>(limite, kCursorePianoMassimo);
  passi(m, j, std::min<int64_t>(s, massimo), 0.0);
  if (j > kCursorePianoMassimo) return false;
  passi(m, j, std::min<int64_t>(fine, massimo), r);
  return j <= kCursorePianoMassimo;
}

void completa_piano(modello& m, int32_t& j) { passi(m, j, ultima_riga_calcolabile(m), 0.0); }

generatore_piano::generatore_piano(const piano_tracciato& p) : p_(p) { riavvolgi(); }

void generatore_piano::riavvolgi() {
  metro_ = 0;
  tratto_ = 0;
  x2_ = y2_ = x1_ = 0.0;
  y1_ = p_.seminato ? 1.0 : 0.0;
}

std::size_t generatore_piano::prossime(riga_geometria* righe, std::size_t quante) {
  std::size_t k = 0;
  // The seed.
  for (; k < quante && metro_ < kInizioCursorePiano && metro_ < p_.righe; ++k, ++metro_) {
    righe[k].metro = metro_;
    if (p_.seminato) {
      righe[k].x = numero_etichettato::da_intero(0);
      righe[k].y = numero_etichettato::da_intero(static_cast<int16_t>(metro_));
    } else {
      righe[k].x = righe[k].y = {};
    }
  }
  // The computed rows, a stretch at a time. The order of the operations is
  // the steps' contract: nothing is regrouped or renormalised.
  while (k < quante && tratto_ < p_.tratti.size()) {
    const tratto_piano& t = p_.tratti[tratto_];
    const std::size_t n = std::min<std::size_t>(quante - k, static_cast<std::size_t>(t.fino - metro_ + 1));
    const double r = t.tasso;
    double x2 = x2_, y2 = y2_, x1 = x1_, y1 = y1_;
    riga_geometria* const fuori = righe + k;
    if (r == 0.0) {
      for (std::size_t i = 0; i < n; ++i) {
        const double x = x1 + (x1 - x2);
        const double y = y1 + (y1 - y2);
        fuori[i] = {metro_ + static_cast<int32_t>(i), numero_etichettato::da_reale(x), numero_etichettato::da_reale(y)};
        x2 = x1;
        y2 = y1;
        x1 = x;
        y1 = y;
      }
    } else {
      for (std::size_t i = 0; i < n; ++i) {
        const double dx = x1 - x2;
        const double dy = y1 - y2;
        const double x = x1 + (dx + r * dy);
        const double y = y1 + (dy - r * dx);
        fuori[i] = {metro_ + static_cast<int32_t>(i), numero_etichettato::da_reale(x), numero_etichettato::da_reale(y)};
        x2 = x1;
        y2 = y1;
        x1 = x;
        y1 = y;
      }
    }
    x2_ = x2;
    y2_ = y2;
    x1_ = x1;
    y1_ = y1;
    k += n;
    metro_ += static_cast<int32_t>(n);
    if (metro_ > t.fino) ++tratto_;
  }
  // The rows never computed.
  for (; k < quante && metro_ < p_.righe; ++k, ++metro_) righe[k] = {metro_, {}, {}};
  return k;
}

geometria tabella_piano(const piano_tracciato& p) {
  generatore_piano g(p);
  return raccogli_geometria(g);
}

}  // namespace scenario
