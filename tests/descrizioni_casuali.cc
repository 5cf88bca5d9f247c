#include "tests/descrizioni_casuali.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace scenario::prova {
namespace {

std::string n(int64_t v) { return std::to_string(v); }
int64_t tondo(double q) { return static_cast<int64_t>(std::nearbyint(q)); }

class generatore {
 public:
  generatore(const scelta_casuale& caso, const misura_casuale& misura) : caso_(caso), misura_(misura) {}
  descrizioni_casuali genera();

 private:
  int64_t tra(int64_t a, int64_t b) { return a + caso_(static_cast<uint32_t>(b - a + 1)); }  // a to b
  bool probabile(int su_cento) { return tra(0, 99) < su_cento; }
  template <typename T>
  T uno_di(std::initializer_list<T> v) {
    return *(v.begin() + tra(0, static_cast<int64_t>(v.size()) - 1));
  }

  // A blank run, or a comma, between fields: the reader takes them all.
  std::string sep() {
    switch (tra(0, 5)) {
      case 0: return ",";
      case 1: return ",    ";
      case 2: return "  ,  ";
      default: return ", ";
    }
  }
  std::string record(const std::string& parola, const std::vector<std::string>& valori) {
    std::string r = parola;
    for (const std::string& v : valori) r += sep() + v;
    return r;
  }
  std::string testo(bool nome);

  bool libera(int64_t c) const { return c >= 2 && c <= u_ - 1 && !occupata_[static_cast<std::size_t>(c)]; }
  void occupa(int64_t c) { occupata_[static_cast<std::size_t>(c)] = true; }
  // A free cell for a point object, or -1.
  int64_t cella_libera(int64_t da = 2) {
    for (int k = 0; k < 30; ++k) {
      const int64_t c = tra(std::max<int64_t>(da, 2), u_ - 1);
      if (libera(c)) return c;
    }
    return -1;
  }
  // The position of a point object on cell c (round(p/50 + 1) = c), now
  // and then off the grid, on the halves too (which round to the even cell).
  int64_t punto(int64_t c) {
    if (!probabile(25)) return 50 * (c - 1);
    const int64_t p = 50 * (c - 1) + (probabile(40) ? uno_di<int64_t>({-25, 25}) : tra(-24, 24));
    return tondo(p / 50.0 + 1) == c ? p : 50 * (c - 1);
  }
  // A value that the compiler keeps in 8 or 16 bits: now and then one
  // that wraps.
  int64_t cifra(int64_t a, int64_t b) { return probabile(8) ? tra(-4000, 4000) : tra(a, b); }

  void stazioni();
  void linea();
  void treno();

  const scelta_casuale& caso_;
  const misura_casuale misura_;
  int64_t f_ = 1;  // shares of records: one every 10.5 km of track, at least one
  int64_t lunghezza_ = 0, u_ = 0;
  std::vector<bool> occupata_;
  std::vector<int64_t> segnaposti_;  // station marker cells
  std::vector<bool> sotto_cartello_;  // by marker: a sign under it
  std::vector<std::size_t> stazione_del_segnaposto_;  // by marker: its station's number
  std::vector<std::string> righe_stazioni_;
  std::vector<std::string> l_, t_;
};

std::string generatore::testo(bool nome) {
  static const char* parole[] = {"PL km", "PLA km", "confluenza", "diramazione", "per", "linea da", "ponte fiume",
                                 "galleria", "di", "VELMO", "SANT'ORSO", "PIÙ ALTO", "città", "San Gòttardo", "+",
                                 "(x)", "ÀÈÌ", "ab-cd", "[x]"};
  std::string s;
  const int64_t k = tra(1, 3);
  for (int64_t i = 0; i < k; ++i) {
    std::string p = parole[tra(0, 18)];
    if (!nome) {
      // One draw a statement: the operands of + come in no fixed order, and
      // the same bytes must give the same descriptions with any compiler.
      std::string km;
      if (probabile(50)) {
        km = " " + n(tra(0, 120));
        km += "+" + n(tra(100, 999));
      }
      p = "(" + p + km + ")";
    }
    s += (i && nome ? " " : "") + p;
  }
  if (!nome && probabile(10)) s += " ";  // a sign keeps its trailing blanks
  // Windows-1252 bytes for the few letters above that UTF-8 spells in two.
  std::string ansi;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b == 0xC3 && i + 1 < s.size()) {
      ansi += static_cast<char>(static_cast<unsigned char>(s[i + 1]) + 0x40);
      ++i;
    } else {
      ansi += s[i];
    }
  }
  return ansi;
}

void generatore::stazioni() {
  const int64_t quante = tra(0, std::min<int64_t>(5 * f_, 60));
  int64_t fine_prec = -1000000;
  int64_t p = 50 * tra(0, 20);
  for (int64_t i = 1; i <= quante; ++i) {
    const int64_t tipo = uno_di<int64_t>({0, 1, 4, 4, 12, 22, 24, 26, 27, 28, 5, 6, 7, 8, 30});
    const int64_t zona = 100 * tra(1, 8);
    int64_t a3 = probabile(30) ? tra(1, 3) : 0;
    if (p < zona) p = 50 * ((zona + 49) / 50);
    if (p < 100) p = 100;
    int64_t inizio, fine;
    if (tipo == 5 || tipo == 6) {
      inizio = p - zona;
      fine = p + 150;
    } else if (tipo == 7 || tipo == 8) {
      inizio = p - zona;
      fine = p + zona;
    } else {
      inizio = p - zona / 2;
      fine = p + zona / 2 + (a3 ? 50 : 0);
    }
    if (i > 1 && inizio - 350 < fine_prec) {
      p += 50 * ((fine_prec + 350 - inizio + 49) / 50);
      --i;
      continue;
    }
    if ((p + 800) / 50.0 > u_) break;
    if (tipo < 25) {
      const double q0 = fine / 50.0 - 1;
      const int64_t m = tondo(q0);
      if (q0 <= 1 || m > u_ - 1) break;
      occupa(m);
      segnaposti_.push_back(m);
      sotto_cartello_.push_back(false);
      stazione_del_segnaposto_.push_back(righe_stazioni_.size() + 1);
    }
    const int64_t o = probabile(85) ? tra(0, 86399) : 0;
    righe_stazioni_.push_back(record(
        "stazione", {n(p), n(tipo), n(zona), n(tra(0, 255)), n(probabile(50) ? tra(0, 3) : 0), n(a3),
                     n(tra(-5, 5)), n(tra(0, 3)), n(tra(0, 2)), n(tra(0, 4)), n(tra(0, 1)), n(tra(-2, 1000)),
                     n(tra(0, 90)), n(o / 3600), n(o / 60 % 60), n(o % 60), testo(true)}));
    fine_prec = fine;
    p += 50 * tra(8, 40);
  }
}

void generatore::linea() {
  l_.push_back("[generale]");
  l_.push_back(record("lunghezza percorso", {n(lunghezza_)}));
  const char* numeri[] = {"uno", "due", "tre"};
  for (const char* k : numeri) {
    if (probabile(20)) continue;
    const int64_t flag = uno_di<int64_t>({0, 1, 1, 2});
    l_.push_back(record(std::string("progressiva chilometrica ") + k,
                        {n(probabile(40) ? 0 : 50 * tra(0, lunghezza_ / 50)), n(50 * tra(0, 4000) - (flag == 1 ? 100 : 0)),
                         n(flag)}));
  }
  for (const char* k : numeri) {
    if (probabile(70)) l_.push_back(record(std::string("sfondo ") + k, {n(tra(-3, 9))}));
  }
  if (probabile(70)) {
    l_.push_back(record(probabile(50) ? "ripetizione segnali 4 codici" : "ripetizione segnali 9 codici",
                        {n(50 * tra(0, 40)), n(probabile(30) ? 0 : 50 * tra(0, 100))}));
  }
  const int64_t tracciato = lunghezza_ + 7000;

  l_.push_back("[curve]");
  int64_t m = tra(0, 800);
  for (int64_t k = tra(0, 8 * f_); k > 0 && m < tracciato - 200; --k) {
    const int64_t lungo = probabile(10) ? 0 : tra(1, 900);
    std::string parola = std::string("curva") + (probabile(50) ? "s" : "d");
    parola += n(tra(1, 6));
    l_.push_back(record(parola, {n(m), n(lungo)}));
    // Touching, overlapping, apart; now and then past the track's end.
    const int64_t dopo = uno_di<int64_t>({0, 1, 2, 2, 2, 3});
    m += dopo == 0 ? lungo : dopo == 1 ? std::max<int64_t>(1, lungo / 2) : lungo + tra(1, 1500);
    if (probabile(5)) m = tracciato - tra(250, 400);
  }

  l_.push_back("[pendenze]");
  m = probabile(70) ? 0 : tra(1, 500);
  for (int64_t k = tra(0, 10 * f_); k > 0 && m <= 50 * (u_ - 2); --k) {
    l_.push_back(record("pendenza", {n(m), n(probabile(90) ? tra(-12, 12) : tra(-100, 155))}));
    m += probabile(10) ? 0 : tra(1, 1500);
  }
  for (int64_t k = probabile(15) ? tra(1, 3) : 0; k > 0; --k) {
    l_.push_back(record("pendenza", {n(50 * (u_ - 2)), n(tra(-100, 155))}));
  }

  l_.push_back("[montagne]");
  m = tra(0, 2000);
  for (int64_t k = tra(0, std::min<int64_t>(4 * f_, 70)); k > 0 && (m + 100) / 50.0 <= u_; --k) {
    const int64_t fine = probabile(10) ? tracciato + tra(0, 500) : m + tra(30, 2500);
    l_.push_back(record("montagna", {n(m), n(fine), n(uno_di<int64_t>({1, 2, 3, 4, 11, 11, 12, 13, 0, 10, 20}))}));
    // Apart or touching; now and then starting inside this span, or
    // anywhere before its end, over the spans before it.
    const int64_t dopo = tra(0, 99);
    if (dopo < 15) {
      m += tra(0, std::max<int64_t>(0, fine - m));
    } else if (dopo < 20) {
      m = tra(0, std::max<int64_t>(0, fine));
    } else {
      m = fine + uno_di<int64_t>({0, 50, 100, 150, 200, 300, 1000});
    }
  }

  // The signs: on free cells, and now and then under a station's marker.
  std::vector<int64_t> sotto = segnaposti_;
  // A sign's cell: the last station marker left, su_cento times in a
  // hundred, else a free cell taken; -1 when there is none.
  auto cella_cartello = [&](int su_cento) -> int64_t {
    if (!sotto.empty() && probabile(su_cento)) {
      const int64_t c = sotto.back();
      sotto.pop_back();
      sotto_cartello_[sotto.size()] = true;
      return c;
    }
    const int64_t c = cella_libera();
    if (c >= 0) occupa(c);
    return c;
  };
  std::vector<std::string> vmax, cartelli;
  for (int64_t k = tra(0, 6 * f_); k > 0; --k) {
    const int64_t c = cella_cartello(15);
    if (c < 0) continue;
    auto velocita = [&] { return n(probabile(80) ? 5 * tra(0, 40) : tra(0, 250)); };
    auto d = [&] { return probabile(60) ? std::string() : n(probabile(70) ? 5 * tra(0, 19) : tra(0, 120)); };
    vmax.push_back(record("indicatori_vmax", {n(punto(c)), velocita(), velocita(), velocita(), n(tra(0, 9)), d(),
                                              d(), d(), n(tra(0, 9))}));
  }
  // Sign texts and stations share the 80 item entries.
  const int64_t testi = std::min<int64_t>(8 * f_, 80 - static_cast<int64_t>(righe_stazioni_.size()));
  for (int64_t k = tra(0, testi); k > 0; --k) {
    const int64_t c = cella_cartello(30);
    if (c < 0) continue;
    std::string r = "cartello_indicatore" + sep();
    r += n(punto(c)) + ", ";
    cartelli.push_back(r + testo(false));
  }
  std::sort(vmax.begin(), vmax.end());
  l_.push_back("[cartelli]");
  l_.insert(l_.end(), vmax.begin(), vmax.end());
  l_.push_back("[indicazioni]");
  l_.insert(l_.end(), cartelli.begin(), cartelli.end());
  l_.push_back("[fine]");
}

void generatore::treno() {
  t_.push_back("[generale]");
  if (probabile(80)) t_.push_back(record("numero vetture", {n(tra(1, 12))}));
  if (probabile(80)) t_.push_back(record("percentuale massa frenata", {n(tra(50, 160))}));
  if (probabile(80)) t_.push_back(record("sabbia", {n(tra(0, 3))}));
  if (probabile(80)) {
    std::string r = "orologio" + sep();
    r += n(tra(0, 23)) + "   ";
    r += n(tra(0, 59)) + "  ";
    r += n(tra(0, 59)) + " ";
    t_.push_back(r);
  }
  // The profiles, in order; now and then values for the last cells, which
  // only records at the highest position reach.
  auto profilo = [&](const char* parola, auto valore) {
    int64_t m = probabile(80) ? 0 : tra(1, 400);
    for (int64_t k = tra(1, 8 * f_); k > 0 && m <= 50 * (u_ - 2); --k) {
      t_.push_back(record(parola, {n(m), valore()}));
      m += probabile(10) ? 0 : tra(1, 1500);
    }
    for (int64_t k = probabile(15) ? tra(1, 3) : 0; k > 0; --k) {
      t_.push_back(record(parola, {n(50 * (u_ - 2)), valore()}));
    }
  };
  t_.push_back("[aderenze]");
  profilo("aderenza", [&] { return n(probabile(90) ? tra(50, 120) : tra(0, 300)); });
  t_.push_back("[vel_limite]");
  profilo("velocita", [&] { return n(probabile(85) ? 5 * tra(0, 40) : tra(0, 1275)); });

  // Everything placed on the track, in any order between kinds: the
  // stations among themselves keep theirs.
  std::vector<std::string> altri;
  // Records that must come before a station, whose marker covers them:
  // the record and the station's number (0 for none).
  std::vector<std::size_t> prima_di;
  std::vector<int64_t> libere_sotto;  // station markers with nothing under them yet
  for (std::size_t i = 0; i < segnaposti_.size(); ++i) {
    if (!sotto_cartello_[i]) libere_sotto.push_back(static_cast<int64_t>(i));
  }
  for (int64_t k = tra(0, 8 * f_); k > 0; --k) {
    // Past cell 4: a signal there before a slowdown's warning point could
    // have its completion marker put on cell 1, which is reserved. Now and
    // then on a station's marker cell, before the station.
    int64_t w = -1;
    std::size_t stazione = 0;
    if (!libere_sotto.empty() && probabile(20)) {
      const int64_t i = libere_sotto.back();
      libere_sotto.pop_back();
      if (segnaposti_[static_cast<std::size_t>(i)] >= 5) {
        w = segnaposti_[static_cast<std::size_t>(i)];
        stazione = stazione_del_segnaposto_[static_cast<std::size_t>(i)];
      }
    }
    if (w < 0) {
      w = cella_libera(5);
      if (w < 0) continue;
      occupa(w);
    }
    const int64_t tempo = probabile(10) ? tra(-300, 70000) : uno_di<int64_t>({0, 0, 50, 1, 100, 101, 230, 255});
    const int64_t sx = probabile(10) ? tra(0, 40) : uno_di<int64_t>({1, 1, 2, 2, 0, 3});
    const int64_t dx = probabile(10) ? tra(0, 30) : uno_di<int64_t>({0, 0, 0, 1, 2});
    altri.push_back(record("segnale", {n(punto(w)), n(sx), n(cifra(0, 9)), n(cifra(0, 9)), n(cifra(0, 9)),
                                       n(probabile(10) ? tra(-50, 3300) : tra(0, 2)), n(dx), n(cifra(0, 9)),
                                       n(cifra(0, 9)), n(cifra(0, 9)), n(tempo)}));
    prima_di.push_back(stazione);
  }
  for (int64_t k = tra(0, 3 * f_); k > 0; --k) {
    // The completion markers reach 20 cells before the start: not cell 1.
    const int64_t d = cella_libera(30);
    if (d < 0) continue;
    // The start off the grid now and then: on a half, the warning and
    // pre-warning cells round apart.
    const int64_t x = punto(d);
    const int64_t l = probabile(20) ? tra(0, 1200) : uno_di<int64_t>({0, 10, 20, 50, 100, 300, 600, 1000});
    const int64_t e = tondo((x + l) / 50.0 + 1);
    const bool avviso = x > 1500;
    const int64_t b = tondo((x - 1200) / 50.0 + 1);
    const int64_t a = tondo((x - 1200) / 50.0);
    const bool f_ta = avviso && a < b && probabile(50);
    std::vector<int64_t> celle = {d};
    if (e != d) celle.push_back(e);
    if (avviso) celle.push_back(b);
    if (f_ta) {
      for (int64_t j = 0; j <= 3; ++j) celle.push_back(a - j);
    }
    bool ok = true;
    for (int64_t c : celle) ok = ok && (c == d || libera(c)) && c <= u_ - 1;
    if (!ok) continue;
    for (int64_t c : celle) occupa(c);
    // On a long line a slow one with no end cell of its own would walk its
    // markers over every object to the track's end.
    int64_t v = uno_di<int64_t>({30, 60, 80, 100, 110, 130});
    if (f_ > 1 && e == d && v < 110) v = 110;
    altri.push_back(record("rallentamento", {n(x), n(v), n(l),
                                             n(tra(0, 3)), n(f_ta ? 1 : 0), n(probabile(40) ? tra(1, 9) : 0)}));
    prima_di.push_back(0);
  }
  for (int64_t k = tra(0, 3 * f_); k > 0; --k) {
    const int64_t c = cella_libera();
    if (c < 0) continue;
    occupa(c);
    // Its cell is round(p/50), with no cell added.
    const int64_t p = punto(c + 1);
    altri.push_back(record("abbattimento", {n(p), n(uno_di<int64_t>({0, -3, 1, 60, 180, 200, 400}))}));
    prima_di.push_back(0);
  }
  // Shuffled, then the stations put back in their order into the slots
  // they fell on, and a record under a station's marker moved to just
  // before that station when it fell after it.
  struct posto {
    std::size_t stazione;  // its number, for a station; 0 otherwise
    std::size_t prima_di;  // for a record: the station it must precede, or 0
    std::string r;
  };
  std::vector<posto> tutti;
  for (std::size_t k = 0; k < altri.size(); ++k) tutti.push_back({0, prima_di[k], std::move(altri[k])});
  for (std::size_t k = 0; k < righe_stazioni_.size(); ++k) tutti.push_back({1, 0, std::string()});
  for (std::size_t i = tutti.size(); i > 1; --i) {
    std::swap(tutti[i - 1], tutti[static_cast<std::size_t>(tra(0, static_cast<int64_t>(i) - 1))]);
  }
  std::size_t prossima = 0;
  for (posto& x : tutti) {
    if (x.stazione) x.stazione = ++prossima;
  }
  for (std::size_t i = 0; i < tutti.size(); ++i) {
    if (!tutti[i].prima_di) continue;
    for (std::size_t j = 0; j < i; ++j) {
      if (tutti[j].stazione == tutti[i].prima_di) {
        posto x = std::move(tutti[i]);
        tutti.erase(tutti.begin() + static_cast<std::ptrdiff_t>(i));
        tutti.insert(tutti.begin() + static_cast<std::ptrdiff_t>(j), std::move(x));
        break;
      }
    }
  }
  t_.push_back(probabile(50) ? "[stazioni]" : "[segnali]");
  for (const posto& x : tutti) t_.push_back(x.stazione ? righe_stazioni_[x.stazione - 1] : x.r);
  t_.push_back("[codici]");
  t_.push_back("[fine]");
}

descrizioni_casuali generatore::genera() {
  lunghezza_ = tra(misura_.lunghezza_min, misura_.lunghezza_max);
  f_ = std::max<int64_t>(1, (lunghezza_ + 7000) / 10500);
  u_ = tondo((lunghezza_ + 7000) / 50.0);
  occupata_.assign(static_cast<std::size_t>(u_ + 1), false);
  stazioni();
  linea();
  treno();
  descrizioni_casuali d;
  for (const std::string& r : l_) d.linea += r + "\r\n";
  for (const std::string& r : t_) d.treno += r + "\r\n";
  return d;
}

}  // namespace

descrizioni_casuali genera_descrizioni(const scelta_casuale& caso, const misura_casuale& misura) {
  return generatore(caso, misura).genera();
}

scelta_casuale caso_da_seme(uint64_t seme) {
  auto g = std::make_shared<std::mt19937_64>(seme);
  return [g](uint32_t n) { return n <= 1 ? 0u : static_cast<uint32_t>((*g)() % n); };
}

scelta_casuale caso_da_byte(const uint8_t* dati, std::size_t n) {
  auto resto = std::make_shared<std::pair<const uint8_t*, std::size_t>>(dati, n);
  return [resto](uint32_t quanti) -> uint32_t {
    if (quanti <= 1) return 0;
    uint32_t v = 0;
    // As many bytes as the range needs, 0 once they end.
    for (uint32_t r = quanti - 1; r > 0; r >>= 8) {
      v <<= 8;
      if (resto->second > 0) {
        v |= *resto->first++;
        --resto->second;
      }
    }
    return v % quanti;
  };
}

scelta_casuale caso_registrato(scelta_casuale caso, std::string* byte) {
  return [caso = std::move(caso), byte](uint32_t quanti) -> uint32_t {
    const uint32_t v = caso(quanti);
    if (quanti <= 1) return v;
    int k = 0;
    for (uint32_t r = quanti - 1; r > 0; r >>= 8) ++k;
    for (int i = k - 1; i >= 0; --i) *byte += static_cast<char>((v >> (8 * i)) & 0xFFu);
    return v;
  };
}

}  // namespace scenario::prova
