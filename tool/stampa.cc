#include "tool/stampa.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <limits>
#include <map>
#include <string_view>
#include <vector>

#include "compiler/formato.h"
#include "compiler/voci.h"
#include "platform/cp1252.h"
#include "tool/json.h"

namespace scenario {
namespace {

// One named field of a record, as a whole number.
struct campo {
  const char* nome;
  int64_t valore;
};

std::vector<campo> campi_prima_del_nome(const voce& v) {
  return {{"tipo", v.tipo}, {"inizio", v.inizio}, {"fine", v.fine}, {"posizione", v.posizione},
          {"attributo_1", v.attributo_1}};
}

std::vector<campo> campi_dopo_il_nome(const voce& v) {
  return {{"gruppo_1a", v.gruppo_1a},     {"gruppo_1b", v.gruppo_1b},     {"gruppo_2a", v.gruppo_2a},
          {"gruppo_2b", v.gruppo_2b},     {"gruppo_2c", v.gruppo_2c},     {"gruppo_1c", v.gruppo_1c},
          {"attributo_4", v.attributo_4}, {"attributo_3", v.attributo_3}, {"attributo_2", v.attributo_2},
          {"orario", v.orario}};
}

std::vector<campo> campi_cella(const cella& c) {
  return {{"dato1", c.dato1},
          {"dato2", c.dato2},
          {"dato3", c.dato3},
          {"dato4", c.dato4},
          {"tempo_segnale", c.tempo_segnale},
          {"richiamo", c.richiamo},
          {"montagna", c.montagna},
          {"velocita_max", c.velocita_max},
          {"pendenza", c.pendenza},
          {"aderenza", c.aderenza}};
}

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

std::string nome_tipo(uint8_t t) {
  const char* n = nome_tipo_cella(t);
  return *n ? n : "tipo_" + std::to_string(t);
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
    for (const campo& c : campi_prima_del_nome(v)) {
      if (c.valore != 0 || s.tutte) out << ' ' << c.nome << '=' << c.valore;
    }
    if (!v.nome.empty() || s.tutte) out << " nome=\"" << cp1252_in_utf8(v.nome) << '"';
    for (const campo& c : campi_dopo_il_nome(v)) {
      if (c.valore != 0 || s.tutte) out << ' ' << c.nome << '=' << c.valore;
    }
    if (i >= voce_prima_stazione && i <= voce_primo_cartello && v.orario != 0) {
      if (const std::string o = orario_testo(v.orario); !o.empty()) out << " (" << o << ")";
    }
    out << '\n';
  }
}

void voci_json(std::ostream& out, const std::string& nome, const file_decodificato& f, const scelta& s) {
  const auto offset = offset_voci(f.voci);
  out << "{\"file\": " << json::stringa(nome) << ", \"tipo\": \"voci\", \"byte\": " << f.byte << ", \"voci\": [";
  bool primo = true;
  for (std::size_t i = 0; i < f.voci.size(); ++i) {
    const voce& v = f.voci[i];
    if (!s.tutte && !voce_piena(v)) continue;
    out << (primo ? "\n" : ",\n") << "  {\"indice\": " << i << ", \"offset\": " << offset[i];
    primo = false;
    for (const campo& c : campi_prima_del_nome(v)) out << ", \"" << c.nome << "\": " << c.valore;
    out << ", \"nome\": " << json::stringa(cp1252_in_utf8(v.nome));
    for (const campo& c : campi_dopo_il_nome(v)) out << ", \"" << c.nome << "\": " << c.valore;
    out << '}';
  }
  out << "]}";
}

void voci_csv(std::ostream& out, const file_decodificato& f, const scelta& s) {
  const auto offset = offset_voci(f.voci);
  out << "indice,offset";
  for (const campo& c : campi_prima_del_nome(voce{})) out << ',' << c.nome;
  out << ",nome";
  for (const campo& c : campi_dopo_il_nome(voce{})) out << ',' << c.nome;
  out << "\r\n";
  for (std::size_t i = 0; i < f.voci.size(); ++i) {
    const voce& v = f.voci[i];
    if (!s.tutte && !voce_piena(v)) continue;
    out << i << ',' << offset[i];
    for (const campo& c : campi_prima_del_nome(v)) out << ',' << c.valore;
    out << ',' << csv(cp1252_in_utf8(v.nome));
    for (const campo& c : campi_dopo_il_nome(v)) out << ',' << c.valore;
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
    for (const campo& x : campi_cella(c)) {
      if (x.valore != 0 || s.tutte) out << ' ' << x.nome << '=' << x.valore;
    }
    out << '\n';
  }
}

void celle_json(std::ostream& out, const std::string& nome, const file_decodificato& f, const scelta& s) {
  out << "{\"file\": " << json::stringa(nome) << ", \"tipo\": \"celle\", \"byte\": " << f.byte
      << ", \"celle_nel_file\": " << f.celle.size() << ", \"celle\": [";
  bool primo = true;
  for (std::size_t k = 0; k < f.celle.size(); ++k) {
    const cella& c = f.celle[k];
    const int64_t metri = static_cast<int64_t>(k) * 50;
    if (!cella_scelta(c, metri, s)) continue;
    out << (primo ? "\n" : ",\n") << "  {\"indice\": " << k << ", \"metri\": " << metri << ", \"offset\": "
        << k * formato::kBytesCella << ", \"tipo\": " << int{c.tipo} << ", \"nome_tipo\": "
        << json::stringa(nome_tipo(c.tipo));
    primo = false;
    for (const campo& x : campi_cella(c)) out << ", \"" << x.nome << "\": " << x.valore;
    out << '}';
  }
  out << "]}";
}

void celle_csv(std::ostream& out, const file_decodificato& f, const scelta& s) {
  out << "indice,metri,tipo,nome_tipo";
  for (const campo& x : campi_cella(cella{})) out << ',' << x.nome;
  out << "\r\n";
  for (std::size_t k = 0; k < f.celle.size(); ++k) {
    const cella& c = f.celle[k];
    const int64_t metri = static_cast<int64_t>(k) * 50;
    if (!cella_scelta(c, metri, s)) continue;
    out << k << ',' << metri << ',' << int{c.tipo} << ',' << nome_tipo(c.tipo);
    for (const campo& x : campi_cella(c)) out << ',' << x.valore;
    out << "\r\n";
  }
}

// --- line geometry -------------------------------------------------------

struct conteggio {
  std::size_t vuoto = 0, intero = 0, reale = 0;
};

conteggio conta(const std::vector<numero_etichettato>& v) {
  conteggio c;
  for (const numero_etichettato& n : v) {
    if (n.etichetta == numero_etichettato::intero) ++c.intero;
    else if (n.etichetta == numero_etichettato::reale) ++c.reale;
    else ++c.vuoto;
  }
  return c;
}

std::string valore_testo(const numero_etichettato& n) {
  if (n.etichetta == numero_etichettato::intero) return std::to_string(n.valore_intero) + " (intero)";
  if (n.etichetta == numero_etichettato::reale) return testo_reale(n.valore_reale);
  return "-";
}

std::string valore_json(const numero_etichettato& n) {
  if (n.etichetta == numero_etichettato::intero) return std::to_string(n.valore_intero);
  if (n.etichetta == numero_etichettato::reale) return json::reale(n.valore_reale);
  return "null";
}

std::string valore_csv(const numero_etichettato& n) {
  if (n.etichetta == numero_etichettato::intero) return std::to_string(n.valore_intero);
  if (n.etichetta == numero_etichettato::reale) return testo_reale(n.valore_reale);
  return "";
}

// The rows to show: none unless a range is asked for.
bool righe_scelte(const scelta& s) { return s.da.has_value() || s.a.has_value(); }

void geometria_testo(std::ostream& out, const std::string& nome, const file_decodificato& f, const scelta& s) {
  const geometria& g = f.piano;
  const std::size_t n = g.x.size();
  out << nome << ": geometria, metri 0-" << n - 1 << " (" << n << " valori per coordinata), " << f.byte
      << " byte\n";
  for (const auto& [asse, col] : {std::pair{"x", &g.x}, std::pair{"y", &g.y}}) {
    const conteggio c = conta(*col);
    out << asse << ": " << c.vuoto << " vuoti, " << c.intero << " interi, " << c.reale << " reali\n";
  }
  for (std::size_t m = n; m-- > 0;) {
    if (g.x[m].etichetta != numero_etichettato::vuoto || g.y[m].etichetta != numero_etichettato::vuoto) {
      out << "ultimo metro calcolato: " << m << " (x=" << valore_testo(g.x[m]) << " y=" << valore_testo(g.y[m])
          << ")\n";
      break;
    }
  }
  if (!righe_scelte(s)) return;
  for (std::size_t m = 0; m < n; ++m) {
    if (!in_scelta(static_cast<int64_t>(m), s)) continue;
    out << "metro " << m << ": x=" << valore_testo(g.x[m]) << " y=" << valore_testo(g.y[m]) << '\n';
  }
}

void geometria_json(std::ostream& out, const std::string& nome, const file_decodificato& f, const scelta& s) {
  const geometria& g = f.piano;
  out << "{\"file\": " << json::stringa(nome) << ", \"tipo\": \"geometria\", \"byte\": " << f.byte
      << ", \"valori_per_coordinata\": " << g.x.size() << ", \"conteggi\": {";
  bool primo = true;
  for (const auto& [asse, col] : {std::pair{"x", &g.x}, std::pair{"y", &g.y}}) {
    const conteggio c = conta(*col);
    out << (primo ? "" : ", ") << '"' << asse << "\": {\"vuoto\": " << c.vuoto << ", \"intero\": " << c.intero
        << ", \"reale\": " << c.reale << '}';
    primo = false;
  }
  out << "}, \"righe\": [";
  primo = true;
  if (righe_scelte(s)) {
    for (std::size_t m = 0; m < g.x.size(); ++m) {
      if (!in_scelta(static_cast<int64_t>(m), s)) continue;
      out << (primo ? "\n" : ",\n") << "  {\"metro\": " << m << ", \"etichetta_x\": " << g.x[m].etichetta
          << ", \"x\": " << valore_json(g.x[m]) << ", \"etichetta_y\": " << g.y[m].etichetta
          << ", \"y\": " << valore_json(g.y[m]) << '}';
      primo = false;
    }
  }
  out << "]}";
}

void geometria_csv(std::ostream& out, const file_decodificato& f, const scelta& s) {
  const geometria& g = f.piano;
  out << "metro,etichetta_x,x,etichetta_y,y\r\n";
  if (!righe_scelte(s)) return;
  for (std::size_t m = 0; m < g.x.size(); ++m) {
    if (!in_scelta(static_cast<int64_t>(m), s)) continue;
    out << m << ',' << g.x[m].etichetta << ',' << valore_csv(g.x[m]) << ',' << g.y[m].etichetta << ','
        << valore_csv(g.y[m]) << "\r\n";
  }
}

}  // namespace

bool voce_piena(const voce& v) {
  return v.tipo != 0 || v.inizio != 0 || v.fine != 0 || v.posizione != 0 || v.attributo_1 != 0 ||
         !v.nome.empty() || v.gruppo_1a != 0 || v.gruppo_1b != 0 || v.gruppo_2a != 0 || v.gruppo_2b != 0 ||
         v.gruppo_2c != 0 || v.gruppo_1c != 0 || v.attributo_4 != 0 || v.attributo_3 != 0 || v.attributo_2 != 0 ||
         v.orario != 0;
}

bool cella_piena(const cella& c) {
  return c.tipo != 0 || c.dato1 != 0 || c.dato2 != 0 || c.dato3 != 0 || c.dato4 != 0 || c.tempo_segnale != 0 ||
         c.richiamo != 0 || c.montagna != 0 || c.velocita_max != 0 || c.pendenza != 0 || c.aderenza != 0;
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
      if (formato == formato_uscita::testo) geometria_testo(out, nome, f, s);
      else if (formato == formato_uscita::json) geometria_json(out, nome, f, s);
      else geometria_csv(out, f, s);
      break;
  }
}

}  // namespace scenario
