#include "tests/variazioni_incorporate.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/righe.h"
#include "platform/piattaforma_memoria.h"
#include "texts/testi.h"

namespace scenario::prova {
namespace {

std::string n(int64_t v) { return std::to_string(v); }
int64_t tondo(double q) { return static_cast<int64_t>(std::nearbyint(q)); }

std::string pulita(const std::string& s) {
  const auto a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  const auto b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

bool inizia(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

// One line of a description: a header, or a record split at its commas.
// A record left alone is written back as it stood.
struct riga {
  std::string grezza;
  std::string parola;
  std::vector<std::string> campi;
  bool toccata = false;

  int64_t num(std::size_t i) const { return i < campi.size() ? std::atoll(campi[i].c_str()) : 0; }
  void metti(std::size_t i, const std::string& v) {
    if (i >= campi.size()) campi.resize(i + 1);
    campi[i] = v;
    toccata = true;
  }
  void metti(std::size_t i, int64_t v) { metti(i, n(v)); }
  std::string testo() const {
    if (!toccata) return grezza;
    std::string r = parola;
    for (const std::string& c : campi) r += ", " + c;
    return r;
  }
};

riga leggi(const std::string& s) {
  riga r;
  r.grezza = s;
  if (s.empty() || s[0] == '[') {
    r.parola = s;
    return r;
  }
  std::size_t da = 0;
  std::vector<std::string> parti;
  while (true) {
    const std::size_t v = s.find(',', da);
    parti.push_back(pulita(s.substr(da, v == std::string::npos ? std::string::npos : v - da)));
    if (v == std::string::npos) break;
    da = v + 1;
  }
  r.parola = parti[0];
  r.campi.assign(parti.begin() + 1, parti.end());
  return r;
}

std::vector<riga> righe_di(const lista_righe& l) {
  std::vector<riga> r;
  for (const std::string& s : l) {
    if (s == kFineDelFile) break;
    r.push_back(leggi(s));
  }
  return r;
}

class variatore {
 public:
  explicit variatore(const scelta_casuale& caso) : caso_(caso) {
    piattaforma_memoria p;
    l_ = righe_di(righe_linea(p));
    t_ = righe_di(righe_treno(p));
  }

  descrizioni_casuali varia() {
    const int64_t quante = probabile(15) ? tra(6, 12) : tra(1, 5);
    for (int64_t k = 0; k < quante; ++k) una();
    if (probabile(85)) in_ordine();
    descrizioni_casuali d;
    for (const riga& r : l_) d.linea += r.testo() + "\r\n";
    for (const riga& r : t_) d.treno += r.testo() + "\r\n";
    return d;
  }

 private:
  int64_t tra(int64_t a, int64_t b) { return a + caso_(static_cast<uint32_t>(b - a + 1)); }
  bool probabile(int su_cento) { return tra(0, 99) < su_cento; }
  template <typename T>
  T uno_di(std::initializer_list<T> v) {
    return *(v.begin() + tra(0, static_cast<int64_t>(v.size()) - 1));
  }

  int64_t lunghezza() const {
    for (const riga& r : l_) {
      if (inizia(r.parola, "lunghezza")) return r.num(0);
    }
    return 104300;
  }
  int64_t ultima_cella() const { return tondo((lunghezza() + 7000) / 50.0); }

  // A shift: off the grid, onto a half, by whole cells, or anywhere near.
  int64_t spostamento() {
    const int64_t segno = probabile(50) ? 1 : -1;
    switch (tra(0, 4)) {
      case 0: return segno * tra(1, 24);
      case 1: return segno * 25;
      case 2: return segno * 50 * tra(1, 40);
      case 3: return tra(-1000, 1000);
      default: return segno * (50 * tra(0, 10) + 25);
    }
  }
  // A position on cell c of a point object (round(p/50 + 1) = c).
  int64_t punto(int64_t c) {
    if (!probabile(40)) return 50 * (c - 1);
    const int64_t p = 50 * (c - 1) + (probabile(50) ? uno_di<int64_t>({-25, 25}) : tra(-24, 24));
    return tondo(p / 50.0 + 1) == c ? p : 50 * (c - 1);
  }
  // Anywhere along the line, now and then at its ends.
  int64_t dove() {
    const int64_t u = ultima_cella();
    switch (tra(0, 9)) {
      case 0: return tra(0, 200);
      case 1: return 50 * (u - 2) - tra(0, 150);
      case 2: return lunghezza() - tra(-200, 200);
      default: return tra(0, 50 * (u - 2));
    }
  }
  int64_t cifra() { return probabile(10) ? tra(-4000, 4000) : tra(0, 9); }
  int64_t byte() { return probabile(20) ? tra(256, 600) : tra(0, 255); }
  int64_t sedici() { return probabile(15) ? uno_di<int64_t>({tra(32768, 70000), tra(-70000, -32769)}) : tra(-5, 1000); }

  std::string testo_cartello() {
    static const char* parole[] = {"PL km", "PLA km", "confluenza", "diramazione", "per  ORSENTA", "ponte fiume",
                                   "galleria", "di VELMO", "(x)", "ab-cd", "[x]", "+"};
    std::string s;
    for (int64_t k = tra(1, 3); k > 0; --k) s += "(" + std::string(parole[tra(0, 11)]) + ")";
    if (probabile(10)) s += " ";
    return s;
  }

  // The stations' marker cells, in their order: (record index in t_, cell).
  std::vector<std::pair<std::size_t, int64_t>> segnaposti() const {
    std::vector<std::pair<std::size_t, int64_t>> r;
    for (std::size_t i = 0; i < t_.size(); ++i) {
      const riga& x = t_[i];
      if (!inizia(x.parola, "stazione") || x.campi.size() < 17) continue;
      const int64_t p = x.num(0), tipo = x.num(1), zona = x.num(2), a3 = x.num(5);
      if (tipo >= 25) continue;
      int64_t fine;
      if (tipo == 5 || tipo == 6) {
        fine = p + 150;
      } else if (tipo == 7 || tipo == 8) {
        fine = p + zona;
      } else {
        fine = p + zona / 2 + (a3 ? 50 : 0);
      }
      r.emplace_back(i, tondo(fine / 50.0 - 1));
    }
    return r;
  }

  // Records of a kind: the line's when `linea`.
  std::vector<std::size_t> di(bool linea, const char* parola) const {
    const std::vector<riga>& v = linea ? l_ : t_;
    std::vector<std::size_t> r;
    for (std::size_t i = 0; i < v.size(); ++i) {
      if (!v[i].campi.empty() && inizia(v[i].parola, parola)) r.push_back(i);
    }
    return r;
  }
  // Where a new record goes: after a random record of its kind, or after
  // the header of its section.
  void inserisci(bool linea, const char* parola, const char* sezione, riga r) {
    std::vector<riga>& v = linea ? l_ : t_;
    r.toccata = true;
    const std::vector<std::size_t> stessi = di(linea, parola);
    std::size_t dopo = 0;
    if (!stessi.empty() && probabile(80)) {
      dopo = stessi[static_cast<std::size_t>(tra(0, static_cast<int64_t>(stessi.size()) - 1))] + 1;
    } else {
      for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i].parola == sezione) dopo = i + 1;
      }
      if (dopo == 0) dopo = v.size() - 1;
    }
    v.insert(v.begin() + static_cast<std::ptrdiff_t>(dopo), std::move(r));
  }
  riga nuova(const char* parola, std::vector<int64_t> valori) {
    riga r;
    r.parola = parola;
    for (int64_t v : valori) r.campi.push_back(n(v));
    r.toccata = true;
    return r;
  }

  // A record of either description, but not a header.
  std::pair<bool, std::size_t> qualsiasi() {
    for (int k = 0; k < 50; ++k) {
      const bool linea = probabile(50);
      const std::vector<riga>& v = linea ? l_ : t_;
      const std::size_t i = static_cast<std::size_t>(tra(0, static_cast<int64_t>(v.size()) - 1));
      if (!v[i].campi.empty()) return {linea, i};
    }
    return {true, 1};
  }

  void una();
  void sposta();
  void valore();
  void aggiungi();
  void generale();
  void in_ordine();

  const scelta_casuale& caso_;
  std::vector<riga> l_, t_;
};

void variatore::una() {
  switch (tra(0, 9)) {
    case 0:
    case 1:
    case 2: sposta(); break;
    case 3:
    case 4: valore(); break;
    case 5: {  // removed
      const auto [linea, i] = qualsiasi();
      std::vector<riga>& v = linea ? l_ : t_;
      if (!inizia(v[i].parola, "lunghezza")) v.erase(v.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
    case 6: {  // doubled, now and then moved a little
      const auto [linea, i] = qualsiasi();
      std::vector<riga>& v = linea ? l_ : t_;
      riga r = v[i];
      if (probabile(50) && !r.campi.empty() && !inizia(r.parola, "stazione") && !inizia(r.parola, "lunghezza")) {
        r.metti(0, r.num(0) + spostamento());
      }
      v.insert(v.begin() + static_cast<std::ptrdiff_t>(i + 1), std::move(r));
      break;
    }
    case 7:
    case 8: aggiungi(); break;
    default: generale(); break;
  }
}

void variatore::sposta() {
  const auto [linea, i] = qualsiasi();
  riga& r = (linea ? l_ : t_)[i];
  const std::string& p = r.parola;
  if (inizia(p, "stazione")) {
    r.metti(0, r.num(0) + 50 * tra(-12, 12));
  } else if (inizia(p, "montagna") || inizia(p, "curva")) {
    const std::size_t k = static_cast<std::size_t>(tra(0, 1));
    r.metti(k, r.num(k) + spostamento());
  } else if (inizia(p, "rallentamento")) {
    r.metti(probabile(70) ? 0 : 2, r.num(0) + spostamento());
  } else if (inizia(p, "pendenza") || inizia(p, "indicatori") || inizia(p, "cartello") || inizia(p, "aderenza") ||
             inizia(p, "velocita") || inizia(p, "segnale") || inizia(p, "abbattimento")) {
    r.metti(0, probabile(10) ? 50 * (ultima_cella() - 2) : r.num(0) + spostamento());
  }
}

void variatore::valore() {
  const auto [linea, i] = qualsiasi();
  riga& r = (linea ? l_ : t_)[i];
  const std::string& p = r.parola;
  if (inizia(p, "curva")) {
    if (probabile(50)) {
      r.parola = std::string("curva") + (probabile(50) ? "s" : "d") + n(tra(1, 6));
      r.toccata = true;
    } else {
      r.metti(1, std::max<int64_t>(0, r.num(1) + spostamento()));
    }
  } else if (inizia(p, "pendenza")) {
    r.metti(1, probabile(70) ? tra(-12, 12) : tra(-100, 155));
  } else if (inizia(p, "montagna")) {
    if (probabile(50)) {
      r.metti(2, uno_di<int64_t>({0, 1, 2, 3, 4, 10, 11, 12, 13, 14, 20, 25, 40}));
    } else {
      r.metti(1, r.num(1) + spostamento());
    }
  } else if (inizia(p, "indicatori")) {
    const std::size_t k = static_cast<std::size_t>(tra(1, 8));
    if (k == 4 || k == 8) {
      r.metti(k, probabile(80) ? tra(0, 9) : tra(10, 40));
    } else if (k < 4) {
      r.metti(k, probabile(80) ? 5 * tra(0, 40) : tra(0, 2000));
    } else {
      r.metti(k, probabile(40) ? std::string() : n(probabile(70) ? 5 * tra(0, 19) : tra(0, 150)));
    }
  } else if (inizia(p, "cartello")) {
    r.metti(1, testo_cartello());
  } else if (inizia(p, "aderenza")) {
    r.metti(1, probabile(80) ? tra(40, 130) : tra(0, 300));
  } else if (inizia(p, "velocita")) {
    r.metti(1, probabile(80) ? 5 * tra(0, 60) : tra(0, 1275));
  } else if (inizia(p, "stazione") && r.campi.size() >= 17) {
    const std::size_t k = static_cast<std::size_t>(tra(1, 16));
    switch (k) {
      case 1: r.metti(k, uno_di<int64_t>({0, 1, 4, 5, 6, 7, 8, 12, 22, 24, 25, 26, 30})); break;
      case 2: r.metti(k, 100 * tra(1, 8)); break;
      case 3: case 4: case 5: case 8: case 12: r.metti(k, byte()); break;
      case 13: r.metti(k, tra(0, 30)); break;
      case 14: case 15: r.metti(k, tra(0, 70)); break;
      case 16: r.metti(k, std::string(uno_di<const char*>({"BORGO NUOVO", "S. ORSO", "CASALE", "X"}))); break;
      default: r.metti(k, sedici()); break;
    }
  } else if (inizia(p, "segnale")) {
    const std::size_t k = static_cast<std::size_t>(tra(1, 10));
    switch (k) {
      case 1: r.metti(k, probabile(20) ? tra(0, 40) : tra(0, 3)); break;
      case 5: r.metti(k, probabile(20) ? tra(-50, 3300) : tra(0, 2)); break;
      case 6: r.metti(k, probabile(20) ? tra(0, 30) : tra(0, 2)); break;
      case 10: r.metti(k, probabile(20) ? tra(-300, 70000) : uno_di<int64_t>({0, 1, 50, 100, 101, 230, 255})); break;
      default: r.metti(k, cifra()); break;
    }
  } else if (inizia(p, "rallentamento")) {
    const std::size_t k = static_cast<std::size_t>(tra(1, 5));
    r.metti(k, k == 1 ? uno_di<int64_t>({30, 60, 80, 100, 110, 130}) : k == 2 ? tra(0, 1500) : tra(0, k == 4 ? 1 : 9));
  } else if (inizia(p, "abbattimento")) {
    r.metti(1, uno_di<int64_t>({0, -3, 1, 60, 180, 200, 400, 65536}));
  } else {
    generale();
  }
}

void variatore::aggiungi() {
  const int64_t u = ultima_cella();
  const auto posti = segnaposti();
  switch (tra(0, 10)) {
    case 0:
    case 1: {  // a signal, now and then under a station's marker, written before the station
      const int64_t tempo = probabile(10) ? tra(-300, 70000) : uno_di<int64_t>({0, 0, 50, 1, 100, 101, 230, 255});
      const int64_t sx = probabile(10) ? tra(0, 40) : uno_di<int64_t>({1, 1, 2, 2, 0, 3});
      const int64_t dx = probabile(10) ? tra(0, 30) : uno_di<int64_t>({0, 0, 0, 1, 2});
      riga r = nuova("segnale", {0, sx, cifra(), cifra(), cifra(), probabile(10) ? tra(-50, 3300) : tra(0, 2), dx,
                                 cifra(), cifra(), cifra(), tempo});
      if (!posti.empty() && probabile(35)) {
        const auto [stazione, m] = posti[static_cast<std::size_t>(tra(0, static_cast<int64_t>(posti.size()) - 1))];
        r.metti(0, punto(m));
        t_.insert(t_.begin() + static_cast<std::ptrdiff_t>(stazione), std::move(r));
      } else {
        r.metti(0, probabile(30) ? dove() : punto(tra(5, u - 2)));
        inserisci(false, "segnale", "[segnali]", std::move(r));
      }
      break;
    }
    case 2:
    case 3: {
      const int64_t x = probabile(50) ? dove() : 50 * tra(1, u - 40) + uno_di<int64_t>({0, 25, -25, 10, 37});
      const int64_t l = probabile(20) ? tra(0, 1500) : uno_di<int64_t>({0, 10, 20, 50, 100, 300, 600, 1000});
      inserisci(false, "rallentamento", "[rallentamenti]",
                nuova("rallentamento", {x, uno_di<int64_t>({30, 60, 80, 100, 110, 130}), l, tra(0, 3),
                                        probabile(60) ? 1 : 0, probabile(40) ? tra(1, 9) : 0}));
      break;
    }
    case 4:
      inserisci(false, "abbattimento", "[rallentamenti]",
                nuova("abbattimento", {probabile(50) ? dove() : 50 * tra(2, u - 3) + tra(-25, 25),
                                       uno_di<int64_t>({0, -3, 1, 60, 180, 180, 200, 400})}));
      break;
    case 5: {  // a speed sign, now and then under a station's marker
      int64_t p = dove();
      if (!posti.empty() && probabile(40)) p = punto(posti[static_cast<std::size_t>(tra(0, static_cast<int64_t>(posti.size()) - 1))].second);
      auto v = [&] { return n(probabile(80) ? 5 * tra(0, 40) : tra(0, 2000)); };
      auto d = [&] { return probabile(60) ? std::string() : n(probabile(70) ? 5 * tra(0, 19) : tra(0, 120)); };
      riga r;
      r.parola = "indicatori_vmax";
      r.campi = {n(p), v(), v(), v(), n(tra(0, 9)), d(), d(), d(), n(probabile(90) ? tra(0, 9) : tra(10, 30))};
      inserisci(true, "indicatori_vmax", "[cartelli]", std::move(r));
      break;
    }
    case 6: {  // a sign text, now and then under a station's marker
      int64_t p = dove();
      if (!posti.empty() && probabile(40)) p = punto(posti[static_cast<std::size_t>(tra(0, static_cast<int64_t>(posti.size()) - 1))].second);
      riga r;
      r.parola = "cartello_indicatore";
      r.campi = {n(p), testo_cartello()};
      inserisci(true, "cartello_indicatore", "[indicazioni]", std::move(r));
      break;
    }
    case 7: {
      const int64_t a = dove();
      const int64_t b = probabile(10) ? lunghezza() + 7000 + tra(0, 500) : a + tra(30, 3000);
      inserisci(true, "montagna", "[montagne]",
                nuova("montagna", {a, b, uno_di<int64_t>({1, 2, 3, 4, 11, 11, 12, 13, 0, 10, 20})}));
      break;
    }
    case 8:
      inserisci(true, "curva", "[curve]", [&] {
        riga r = nuova("curva", {dove(), probabile(10) ? 0 : tra(1, 900)});
        r.parola = std::string("curva") + (probabile(50) ? "s" : "d") + n(tra(1, 6));
        return r;
      }());
      break;
    case 9:
      inserisci(true, "pendenza", "[pendenze]",
                nuova("pendenza", {probabile(20) ? 50 * (u - 2) : dove(), probabile(90) ? tra(-12, 12) : tra(-100, 155)}));
      break;
    default: {
      const bool velocita = probabile(50);
      const int64_t p = probabile(25) ? 50 * (u - 2) : dove();
      inserisci(false, velocita ? "velocita" : "aderenza", velocita ? "[vel_limite]" : "[aderenze]",
                nuova(velocita ? "velocita" : "aderenza",
                      {p, velocita ? (probabile(85) ? 5 * tra(0, 40) : tra(0, 1275)) : (probabile(90) ? tra(50, 120) : tra(0, 300))}));
      break;
    }
  }
}

void variatore::generale() {
  auto cerca = [](std::vector<riga>& v, const char* parola) -> riga* {
    for (riga& r : v) {
      if (inizia(r.parola, parola)) return &r;
    }
    return nullptr;
  };
  riga* r = nullptr;
  switch (tra(0, 8)) {
    case 0:
    case 1:
      if ((r = cerca(l_, "lunghezza"))) {
        r->metti(0, probabile(50) ? tra(104300, 285000) : r->num(0) + tra(-300, 3000));
      }
      break;
    case 2:
      if ((r = cerca(t_, "numero vetture"))) r->metti(0, probabile(80) ? tra(1, 12) : tra(-5, 70000));
      break;
    case 3:
      if ((r = cerca(t_, "percentuale"))) r->metti(0, probabile(80) ? tra(50, 160) : tra(-100, 100000));
      break;
    case 4:
      if ((r = cerca(t_, "sabbia"))) r->metti(0, probabile(70) ? tra(0, 3) : sedici());
      break;
    case 5:
      if ((r = cerca(t_, "orologio"))) {
        r->campi = {n(probabile(80) ? tra(0, 23) : sedici()) + "   " + n(tra(0, 59)) + "  " + n(probabile(80) ? tra(0, 59) : sedici())};
        r->toccata = true;
      }
      break;
    case 6: {
      const char* k = uno_di<const char*>({"sfondo uno", "sfondo due", "sfondo tre"});
      if ((r = cerca(l_, k))) r->metti(0, probabile(70) ? tra(-3, 9) : tra(-3000000, 3000000));
      break;
    }
    case 7: {
      const char* k = uno_di<const char*>({"progressiva chilometrica uno", "progressiva chilometrica due",
                                           "progressiva chilometrica tre"});
      if ((r = cerca(l_, k))) {
        const int64_t flag = uno_di<int64_t>({0, 1, 1, 2});
        r->metti(0, probabile(40) ? 0 : 50 * tra(0, lunghezza() / 50));
        r->metti(1, 50 * tra(0, 4000) - (flag == 1 ? 100 : 0));
        r->metti(2, flag);
      }
      break;
    }
    default:
      if ((r = cerca(l_, "ripetizione"))) {
        r->parola = probabile(50) ? "ripetizione segnali 4 codici" : "ripetizione segnali 9 codici";
        r->campi = {n(50 * tra(0, 40)), n(probabile(30) ? 0 : 50 * tra(0, 2000))};
        r->toccata = true;
      }
      break;
  }
}

// The kinds whose records must rise along the line, each sorted within the
// slots its records hold.
void variatore::in_ordine() {
  auto ordina = [](std::vector<riga>& v, const char* parola) {
    std::vector<std::size_t> posti;
    std::vector<riga> righe;
    for (std::size_t i = 0; i < v.size(); ++i) {
      if (!v[i].campi.empty() && inizia(v[i].parola, parola)) {
        posti.push_back(i);
        righe.push_back(v[i]);
      }
    }
    std::stable_sort(righe.begin(), righe.end(), [](const riga& a, const riga& b) { return a.num(0) < b.num(0); });
    for (std::size_t k = 0; k < posti.size(); ++k) v[posti[k]] = std::move(righe[k]);
  };
  ordina(l_, "curva");
  ordina(l_, "pendenza");
  ordina(l_, "montagna");
  ordina(t_, "velocita");
  ordina(t_, "aderenza");
}

}  // namespace

descrizioni_casuali varia_incorporate(const scelta_casuale& caso) { return variatore(caso).varia(); }

}  // namespace scenario::prova
