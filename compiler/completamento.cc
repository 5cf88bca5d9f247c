#include "compiler/guasti.h"
#include "compiler/completamento.h"

#include "compiler/esecuzione.h"

namespace scenario {
namespace {

constexpr int16_t kValoreMarcatore = 180;
constexpr int16_t kVelocitaSenzaPercorso = 110;  // km/h; slower slowdowns get markers through them

void marca(cella& c) {
  c.tipo = cella_abbattimento;
  c.dato1 = kValoreMarcatore;
}

// The pass over the track. `k` is the one cursor that rules 1, 3 and 4
// share: its last value carries from one rule and one cell to the next.
class completamento {
 public:
  explicit completamento(modello& m) : m_(m), u_(static_cast<int64_t>(m.celle.size()) - 1) {}

  void esegui() {
    for (int64_t i = 1; i <= u_ - 2; ++i) {
      const uint8_t tipo = cella_a(m_, i).tipo;
      if (tipo == cella_avviso_rallentamento) {
        segnali_prima_dell_avviso(i);
      } else if (tipo == cella_inizio_rallentamento) {
        prima_dell_inizio(i);
        const bool trovata = cella_a(m_, i).dato1 < kVelocitaSenzaPercorso ? percorri(i) : cerca_fine(i);
        if (trovata) segnale_dopo_la_fine();
      }
    }
  }

 private:
  cella& c(int64_t i) { return cella_a(m_, i); }

  // Rule 1: every signal up to 20 cells before a warning point, never below
  // cell 3, gets a marker on one of the two cells before it, or has an
  // existing marker there capped to 180.
  void segnali_prima_dell_avviso(int64_t i) {
    for (k_ = 1; k_ <= 20 && i - k_ >= 3; ++k_) {
      const int64_t s = i - k_;
      if (c(s).tipo != cella_segnale) continue;
      if (libera(c(s - 1))) {
        marca(c(s - 1));
      } else if (libera(c(s - 2))) {
        marca(c(s - 2));
      } else if (c(s - 1).tipo == cella_abbattimento) {
        c(s - 1).dato1 = minimo(kValoreMarcatore, c(s - 1).dato1);
      } else if (c(s - 2).tipo == cella_abbattimento) {
        c(s - 2).dato1 = minimo(kValoreMarcatore, c(s - 2).dato1);
      } else {
        registra(m_, codice_marcatore_segnale, a32(s * 50));
      }
    }
  }

  // Rule 2: three groups of candidates 5 to 20 cells before the start, each
  // marking its first free cell.
  void prima_dell_inizio(int64_t i) {
    for (int64_t primo : {5, 11, 18}) {
      if (i <= primo + 2) continue;
      bool marcata = false;
      for (int64_t j = primo; j <= primo + 2 && !marcata; ++j) {
        if (libera(c(i - j))) {
          marca(c(i - j));
          marcata = true;
        }
      }
      if (!marcata) registra(m_, codice_marcatore_gruppo, a32(i * 50));
    }
  }

  // Rule 3: a marker every 8 cells from the start to the end cell, shifted
  // by one cell around an occupied one, the spacing counted from the marker
  // actually placed. Leaves k on the end cell; false when the table ends
  // first (code 13 at the start).
  bool percorri(int64_t i) {
    k_ = i;
    int64_t passi = 0;
    for (;;) {
      if (k_ >= u_) {
        registra(m_, codice_marcatore_percorso, a32(i * 50));
        return false;
      }
      ++k_;
      ++passi;
      if (passi == 8) {
        if (libera(c(k_))) {
          marca(c(k_));
          passi = 0;
        } else if (libera(c(k_ - 1))) {
          marca(c(k_ - 1));
          passi = 1;
        } else if (k_ + 1 <= u_ && libera(c(k_ + 1))) {
          marca(c(k_ + 1));
          passi = -1;
        } else {
          registra(m_, codice_marcatore_percorso, a32(k_ * 50));
        }
      }
      if (c(k_).tipo == cella_fine_rallentamento) return true;
    }
  }

  // A fast slowdown has no walk; its end cell is found the same way, so that
  // rule 4 looks after this slowdown and not wherever the cursor was left.
  bool cerca_fine(int64_t i) {
    for (k_ = i + 1; k_ <= u_; ++k_) {
      if (c(k_).tipo == cella_fine_rallentamento) return true;
    }
    k_ = u_;
    registra(m_, codice_marcatore_percorso, a32(i * 50));
    return false;
  }

  // Rule 4: the first signal among the 13 cells from the end cell gets a
  // marker on one of the two cells before it.
  void segnale_dopo_la_fine() {
    for (int64_t j = k_; j <= k_ + 12 && j <= u_; ++j) {
      if (c(j).tipo != cella_segnale) continue;
      const int64_t p = j - 1;
      if (p <= 0) return;
      if (libera(c(p))) {
        marca(c(p));
      } else if (libera(c(p - 1))) {
        marca(c(p - 1));
      } else {
        registra(m_, codice_marcatore_percorso, a32(k_ * 50));
      }
      return;
    }
  }

  modello& m_;
  const int64_t u_;
  int64_t k_ = 0;
};

}  // namespace

int16_t minimo(int16_t x, int16_t y) { return x > y ? y : x; }

void completa_tracciato(modello& m) { completamento(m).esegui(); }

}  // namespace scenario
