#include "compiler/tracciato.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "compiler/campi.h"
#include "compiler/esecuzione.h"
#include "compiler/formato_geometria.h"

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

namespace {

// The last row that the plan's steps computed; 1 when there is none.
int32_t ultima_calcolata(const piano_tracciato& p) { return p.tratti.empty() ? 1 : p.tratti.back().fino; }

// Row s.metro, as the steps compute it from the two rows before it, and the
// state moved on past it. The order of the operations is the steps'
// contract: nothing is regrouped or renormalised. Every stretch has at
// least one row, so a row is in the stretch of the row before or the next.
inline void passo(const tratto_piano* tratti, generatore_piano::stato& s, double& x, double& y) {
  if (s.metro > tratti[s.tratto].fino) ++s.tratto;
  const double r = tratti[s.tratto].tasso;
  if (r == 0.0) {
    x = s.x1 + (s.x1 - s.x2);
    y = s.y1 + (s.y1 - s.y2);
  } else {
    const double dx = s.x1 - s.x2;
    const double dy = s.y1 - s.y2;
    x = s.x1 + (dx + r * dy);
    y = s.y1 + (dy - r * dx);
  }
  s.x2 = s.x1;
  s.y2 = s.y1;
  s.x1 = x;
  s.y1 = y;
  ++s.metro;
}

// Rows as they are.
struct in_righe {
  riga_geometria* q;
  struct cursore_righe {
    riga_geometria* q;
    void calcolata(int32_t metro, double x, double y) {
      *q++ = {metro, numero_etichettato::da_reale(x), numero_etichettato::da_reale(y)};
    }
  };
  void seme(int32_t metro) {
    *q++ = {metro, numero_etichettato::da_intero(0), numero_etichettato::da_intero(static_cast<int16_t>(metro))};
  }
  void vuota(int32_t metro) { *q++ = {metro, {}, {}}; }
  cursore_righe cursore() const { return {q}; }
  void riprendi(const cursore_righe& c) { q = c.q; }
};

// Both columns' values straight into the file's bytes, each into its own
// block: one chain of steps gives both.
struct in_byte_entrambe {
  char* px;
  char* py;
  struct cursore_byte {
    char* px;
    char* py;
    void calcolata(int32_t, double x, double y) {
      px = codifica_reale(px, x);
      py = codifica_reale(py, y);
    }
  };
  void seme(int32_t metro) {
    px = codifica_etichettato(px, numero_etichettato::da_intero(0));
    py = codifica_etichettato(py, numero_etichettato::da_intero(static_cast<int16_t>(metro)));
  }
  void vuota(int32_t) {
    px = codifica_etichettato(px, numero_etichettato{});
    py = codifica_etichettato(py, numero_etichettato{});
  }
  cursore_byte cursore() const { return {px, py}; }
  void riprendi(const cursore_byte& c) {
    px = c.px;
    py = c.py;
  }
};

}  // namespace

generatore_piano::generatore_piano(const piano_tracciato& p) : p_(p) { riavvolgi(); }

void generatore_piano::riavvolgi() {
  s_ = {};
  if (p_.seminato) s_.y1 = 1.0;
}

// Hands at most `quante` rows from the generator's place to `e`: e.seme()
// for the seed, e.vuota() for a row never computed, and the computed rows to
// a cursor that e.cursore() gives and e.riprendi() takes back (a local, so
// that what it writes cannot be taken for the generator's own state).
template <typename E>
std::size_t generatore_piano::scorri(std::size_t quante, E& e) {
  std::size_t k = 0;
  for (; k < quante && s_.metro < kInizioCursorePiano && s_.metro < p_.righe; ++k, ++s_.metro) {
    if (p_.seminato) {
      e.seme(s_.metro);
    } else {
      e.vuota(s_.metro);
    }
  }
  const int32_t ultima = ultima_calcolata(p_);
  if (k < quante && s_.metro >= kInizioCursorePiano && s_.metro <= ultima) {
    const auto n = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(quante - k), ultima - s_.metro + 1));
    const tratto_piano* const tratti = p_.tratti.data();
    const int32_t fine = s_.metro + n;
    stato a = s_;
    double x, y;
    auto c = e.cursore();
    while (a.metro < fine) {
      passo(tratti, a, x, y);
      c.calcolata(a.metro - 1, x, y);
    }
    e.riprendi(c);
    s_ = a;
    k += static_cast<std::size_t>(n);
  }
  for (; k < quante && s_.metro < p_.righe; ++k, ++s_.metro) e.vuota(s_.metro);
  return k;
}

std::size_t generatore_piano::prossime(riga_geometria* righe, std::size_t quante) {
  in_righe e{righe};
  return scorri(quante, e);
}

std::size_t generatore_piano::prossime_in_byte_entrambe(char* fx, char* fy, std::size_t quante, std::size_t& byte_x,
                                                       std::size_t& byte_y) {
  in_byte_entrambe e{fx, fy};
  const std::size_t n = scorri(quante, e);
  byte_x = static_cast<std::size_t>(e.px - fx);
  byte_y = static_cast<std::size_t>(e.py - fy);
  return n;
}

uint64_t generatore_piano::byte_colonna_x() {
  // The rows as scorri hands them: the first ones seeded or empty, the
  // computed ones, then empty ones to the end.
  const int64_t righe = p_.righe;
  const int64_t prime = std::min<int64_t>(kInizioCursorePiano, righe);
  const int64_t ultima = std::min<int64_t>(ultima_calcolata(p_), righe - 1);
  const int64_t calcolate = std::max<int64_t>(0, ultima - kInizioCursorePiano + 1);
  const int64_t vuote = righe - prime - calcolate;
  return static_cast<uint64_t>(prime) * (p_.seminato ? formato::kBytesIntero : formato::kBytesVuoto) +
         static_cast<uint64_t>(calcolate) * formato::kBytesReale + static_cast<uint64_t>(vuote) * formato::kBytesVuoto;
}

geometria tabella_piano(const piano_tracciato& p) {
  generatore_piano g(p);
  return raccogli_geometria(g);
}

}  // namespace scenario
