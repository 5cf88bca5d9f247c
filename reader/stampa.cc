#include "reader/stampa.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <string_view>
#include <type_traits>
#include <vector>

#include "compiler/formato_celle.h"
#include "compiler/formato_voci.h"
#include "compiler/voci.h"
#include "platform/cp1252.h"
#include "common/json.h"
#include "common/mostra.h"
#include "reader/posizioni_scritte.h"

namespace scenario {
namespace {

// One field of a record, named as its format names it: a whole number, or
// the name's bytes for the name of an item.
struct campo {
  const char* nome;
  std::size_t offset;
  int64_t valore = 0;
  const std::string* testo = nullptr;
};

template <typename T>
constexpr bool e_testo = std::is_same_v<std::remove_cvref_t<T>, std::string>;

std::vector<campo> campi(const voce& v) {
  std::vector<campo> r;
  campi_voce(v, [&r](const campo_record& k, const auto& x) {
    if constexpr (e_testo<decltype(x)>) {
      r.push_back({k.nome, k.offset, 0, &x});
    } else {
      r.push_back({k.nome, k.offset, x});
    }
  });
  return r;
}

// The cell's type first, at its offset, then the data fields.
std::vector<campo> campi(const cella& c) {
  std::vector<campo> r;
  campi_cella(c, [&r](const campo_record& k, const auto& x) { r.push_back({k.nome, k.offset, x}); });
  return r;
}

// The cell's type, shown by its name beside its number.
bool e_tipo(const campo& x) { return x.offset == formato::cella::tipo; }

// What the fixed entries hold, for the reader of the text.
const char* ruolo_voce(std::size_t i) {
  switch (i) {
    case voce_progressiva_tre:
    case voce_progressiva_due:
    case voce_progressiva_uno: return "progressiva chilometrica: inizio, progressiva, indicatore";
    case voce_lunghezza_convoglio: return "massa frenata %, lunghezza della linea, vetture";
    case voce_linea: return "linea: sfondi uno, tre, due; 610; codice pesato";
    case voce_treno: return "treno: ripetizione segnali, codici; sabbia; orologio";
    default: return nullptr;
  }
}

std::string testo_reale(double v) {
  char b[32];
  const auto r = std::to_chars(b, b + sizeof b, v);
  return std::string(b, r.ptr);
}

// A CSV field: quoted when it holds a comma, a quote or a line end.
std::string csv(std::string_view s) {
  if (s.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(s);
  std::string r = "\"";
  for (char c : s) {
    if (c == '"') r += '"';
    r += c;
  }
  return r + "\"";
}

bool in_scelta(int64_t metri, const scelta& s) {
  return (!s.da || metri >= *s.da) && (!s.a || metri <= *s.a);
}

bool cella_scelta(const cella& c, int64_t metri, const scelta& s) {
  return in_scelta(metri, s) && (s.tutte || cella_piena(c)) && (!s.oggetti || c.tipo != cella_libera);
}

std::string orario_testo(int32_t secondi) {
  if (secondi <= 0 || secondi >= 86400 * 2) return "";
  char b[16];
  std::snprintf(b, sizeof b, "%02d:%02d:%02d", secondi / 3600, secondi / 60 % 60, secondi % 60);
  return b;
}

// --- items ---------------------------------------------------------------

void voci_testo(std::ostream& out, const std::string& nome, const file_decodificato& f, const scelta& s) {
  const auto offset = offset_voci(f.voci);
  out << nome << ": voci, " << kNumeroVoci << " voci, " << f.byte << " byte\n";
  for (std::size_t i = 0; i < f.voci.size(); ++i) {
    const voce& v = f.voci[i];
    if (!s.tutte && !voce_piena(v)) continue;
    out << "voce " << i << " @" << offset[i] << ":";
    if (const char* r = ruolo_voce(i)) out << " [" << r << "]";
    for (const campo& c : campi(v)) {
      if (c.testo) {
        if (!c.testo->empty() || s.tutte) out << ' ' << c.nome << "=\"" << mostrabile(cp1252_in_utf8(*c.testo)) << '"';
      } else if (c.valore != 0 || s.tutte) {
        out << ' ' << c.nome << '=' << c.valore;
      }
    }
    if (i >= voce_prima_stazione && i <= voce_primo_cartello && v.orario != 0) {
      if (const std::string o = orario_testo(v.orario); !o.empty()) out << " (" << o << ")";
    }
    out << '\n';
  }
}

void voci_json(std::ostream& out, const std::string& nome, const file_decodificato& f, const scelta& s) {
  const auto offset = offset_voci(f.voci);
  json d;
  d["file"] = nome;
  d["tipo"] = "voci";
  d["byte"] = f.byte;
  d["voci"] = json::array();
  for (std::size_t i = 0; i < f.voci.size(); ++i) {
    const voce& v = f.voci[i];
    if (!s.tutte && !voce_piena(v)) continue;
    json r;
    r["indice"] = i;
    r["offset"] = offset[i];
    for (const campo& c : campi(v)) r[c.nome] = c.testo ? json(cp1252_in_utf8(*c.testo)) : json(c.valore);
    d["voci"].push_back(std::move(r));
  }
  scrivi_json(out, d);
}

void voci_csv(std::ostream& out, const file_decodificato& f, const scelta& s) {
  const auto offset = offset_voci(f.voci);
  out << "indice,offset";
  for (const campo& c : campi(voce{})) out << ',' << c.nome;
  out << "\r\n";
  for (std::size_t i = 0; i < f.voci.size(); ++i) {
    const voce& v = f.voci[i];
    if (!s.tutte && !voce_piena(v)) continue;
    out << i << ',' << offset[i];
    for (const campo& c : campi(v)) {
      if (c.testo) {
        out << ',' << csv(mostrabile(cp1252_in_utf8(*c.testo)));
      } else {
        out << ',' << c.valore;
      }
    }
    out << "\r\n";
  }
}

// --- track ---------------------------------------------------------------

void celle_testo(std::ostream& out, const std::string& nome, const file_decodificato& f, const scelta& s) {
  const std::size_t n = f.celle.size();
  out << nome << ": celle, " << n << " celle (0-" << (n - 1) * 50 << " m), " << f.byte << " byte\n";
  std::map<int, std::size_t> per_tipo;
  for (const cella& c : f.celle) ++per_tipo[c.tipo];
  out << "per tipo:";
  for (const auto& [t, quante] : per_tipo) out << ' ' << nome_tipo(static_cast<uint8_t>(t)) << ' ' << quante;
  out << '\n';
  for (std::size_t k = 0; k < n; ++k) {
    const cella& c = f.celle[k];
    const int64_t metri = static_cast<int64_t>(k) * 50;
    if (!cella_scelta(c, metri, s)) continue;
    out << "cella " << k << " @" << k * formato::kBytesCella << " (" << metri << " m): " << nome_tipo(c.tipo);
    for (const campo& x : campi(c)) {
      if (!e_tipo(x) && (x.valore != 0 || s.tutte)) out << ' ' << x.nome << '=' << x.valore;
    }
    if (const auto w = posizione_scritta_di(c, k)) out << " | scritto: " << testo_posizione_scritta(*w);
    out << '\n';
  }
}

void celle_json(std::ostream& out, const std::string& nome, const file_decodificato& f, const scelta& s) {
  json d;
  d["file"] = nome;
  d["tipo"] = "celle";
  d["byte"] = f.byte;
  d["celle_nel_file"] = f.celle.size();
  d["celle"] = json::array();
  for (std::size_t k = 0; k < f.celle.size(); ++k) {
    const cella& c = f.celle[k];
    const int64_t metri = static_cast<int64_t>(k) * 50;
    if (!cella_scelta(c, metri, s)) continue;
    json r;
    r["indice"] = k;
    r["metri"] = metri;
    r["offset"] = k * formato::kBytesCella;
    for (const campo& x : campi(c)) {
      r[x.nome] = x.valore;
      if (e_tipo(x)) r["nome_tipo"] = nome_tipo(c.tipo);
    }
    if (const auto w = posizione_scritta_di(c, k)) {
      r["scritto"]["cosa"] = w->cosa;
      r["scritto"]["metri"] = w->metri;
      r["scritto"]["nota"] = w->nota;
    }
    d["celle"].push_back(std::move(r));
  }
  scrivi_json(out, d);
}

void celle_csv(std::ostream& out, const file_decodificato& f, const scelta& s) {
  out << "indice,metri";
  for (const campo& x : campi(cella{})) out << ',' << x.nome << (e_tipo(x) ? ",nome_tipo" : "");
  out << "\r\n";
  for (std::size_t k = 0; k < f.celle.size(); ++k) {
    const cella& c = f.celle[k];
    const int64_t metri = static_cast<int64_t>(k) * 50;
    if (!cella_scelta(c, metri, s)) continue;
    out << k << ',' << metri;
    for (const campo& x : campi(c)) out << ',' << x.valore << (e_tipo(x) ? ',' + nome_tipo(c.tipo) : "");
    out << "\r\n";
  }
}

// --- line geometry -------------------------------------------------------

std::string valore_testo(const numero_etichettato& n) {
  if (n.etichetta == numero_etichettato::intero) return std::to_string(n.valore_intero) + " (intero)";
  if (n.etichetta == numero_etichettato::reale) return testo_reale(n.valore_reale);
  return "-";
}

json valore_json(const numero_etichettato& n) {
  if (n.etichetta == numero_etichettato::intero) return n.valore_intero;
  if (n.etichetta == numero_etichettato::reale) return n.valore_reale;
  return nullptr;
}

std::string valore_csv(const numero_etichettato& n) {
  if (n.etichetta == numero_etichettato::intero) return std::to_string(n.valore_intero);
  if (n.etichetta == numero_etichettato::reale) return testo_reale(n.valore_reale);
  return "";
}

// The rows to show: none unless a range is asked for.
bool righe_scelte(const scelta& s) { return s.da.has_value() || s.a.has_value(); }

// The rows of the chosen metres, in order.
void righe(const vista_geometria& g, const scelta& s, const std::function<void(const riga_geometria&)>& riga) {
  g.righe(s.da.value_or(0), s.a.value_or(std::numeric_limits<int64_t>::max()), riga);
}

void geometria_testo(std::ostream& out, const std::string& nome, const vista_geometria& g, const scelta& s) {
  const riassunto_geometria& r = g.riassunto();
  const uint64_t n = r.valori_per_coordinata;
  out << nome << ": geometria, metri 0-" << n - 1 << " (" << n << " valori per coordinata), " << r.byte
      << " byte\n";
  for (const auto& [asse, c] : {std::pair{"x", &r.x}, std::pair{"y", &r.y}}) {
    out << asse << ": " << c->vuoto << " vuoti, " << c->intero << " interi, " << c->reale << " reali\n";
  }
  if (r.ultimo_calcolato) {
    out << "ultimo metro calcolato: " << *r.ultimo_calcolato << " (x=" << valore_testo(r.ultimo_x)
        << " y=" << valore_testo(r.ultimo_y) << ")\n";
  }
  if (!righe_scelte(s)) return;
  righe(g, s, [&out](const riga_geometria& x) {
    out << "metro " << x.metro << ": x=" << valore_testo(x.x) << " y=" << valore_testo(x.y) << '\n';
  });
}

void geometria_json(std::ostream& out, const std::string& nome, const vista_geometria& g, const scelta& s) {
  const riassunto_geometria& r = g.riassunto();
  json d;
  d["file"] = nome;
  d["tipo"] = "geometria";
  d["byte"] = r.byte;
  d["valori_per_coordinata"] = r.valori_per_coordinata;
  for (const auto& [asse, c] : {std::pair{"x", &r.x}, std::pair{"y", &r.y}}) {
    json& conteggio = d["conteggi"][asse];
    conteggio["vuoto"] = c->vuoto;
    conteggio["intero"] = c->intero;
    conteggio["reale"] = c->reale;
  }
  d["righe"] = json::array();
  scrivi_json(out, d, [&g, &s](const std::function<void(const json&)>& metti) {
    if (!righe_scelte(s)) return;
    righe(g, s, [&metti](const riga_geometria& x) {
      json riga;
      riga["metro"] = x.metro;
      riga["etichetta_x"] = x.x.etichetta;
      riga["x"] = valore_json(x.x);
      riga["etichetta_y"] = x.y.etichetta;
      riga["y"] = valore_json(x.y);
      metti(riga);
    });
  });
}

void geometria_csv(std::ostream& out, const vista_geometria& g, const scelta& s) {
  out << "metro,etichetta_x,x,etichetta_y,y\r\n";
  if (!righe_scelte(s)) return;
  righe(g, s, [&out](const riga_geometria& x) {
    out << x.metro << ',' << x.x.etichetta << ',' << valore_csv(x.x) << ',' << x.y.etichetta << ',' << valore_csv(x.y)
        << "\r\n";
  });
}

}  // namespace

std::string nome_tipo(uint8_t t) {
  const char* n = nome_tipo_cella(t);
  return *n ? n : "tipo_" + std::to_string(t);
}

bool voce_piena(const voce& v) {
  bool piena = false;
  campi_voce(v, [&piena](const campo_record&, const auto& x) {
    if constexpr (e_testo<decltype(x)>) {
      piena = piena || !x.empty();
    } else {
      piena = piena || x != 0;
    }
  });
  return piena;
}

bool cella_piena(const cella& c) {
  bool piena = false;
  campi_cella(c, [&piena](const campo_record&, auto x) { piena = piena || x != 0; });
  return piena;
}

void stampa_decodificato(std::ostream& out, const std::string& nome, const file_decodificato& f,
                         formato_uscita formato, const scelta& s) {
  switch (f.tipo) {
    case tipo_file::voci:
      if (formato == formato_uscita::testo) voci_testo(out, nome, f, s);
      else if (formato == formato_uscita::json) voci_json(out, nome, f, s);
      else voci_csv(out, f, s);
      break;
    case tipo_file::celle:
      if (formato == formato_uscita::testo) celle_testo(out, nome, f, s);
      else if (formato == formato_uscita::json) celle_json(out, nome, f, s);
      else celle_csv(out, f, s);
      break;
    case tipo_file::geometria:
      stampa_geometria(out, nome, *geometria_in_memoria(f.piano, f.byte), formato, s);
      break;
  }
}

void stampa_geometria(std::ostream& out, const std::string& nome, const vista_geometria& g, formato_uscita formato,
                      const scelta& s) {
  if (formato == formato_uscita::testo) {
    geometria_testo(out, nome, g, s);
  } else if (formato == formato_uscita::json) {
    geometria_json(out, nome, g, s);
  } else {
    geometria_csv(out, g, s);
  }
}

}  // namespace scenario
