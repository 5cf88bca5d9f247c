#include "lsp/analisi.h"

#include "lsp/protocollo.h"

namespace scenario::lsp {
namespace {

bool spazio(char c) { return c == ' ' || c == '\t'; }

char basso(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool contiene_nc(std::string_view s, std::string_view p) {
  if (p.size() > s.size()) return false;
  for (std::size_t i = 0; i + p.size() <= s.size(); ++i) {
    std::size_t k = 0;
    while (k < p.size() && basso(s[i + k]) == p[k]) ++k;
    if (k == p.size()) return true;
  }
  return false;
}

std::vector<campo_riga> campi_di(std::string_view riga) {
  std::vector<campo_riga> r;
  std::size_t inizio = 0;
  while (true) {
    std::size_t fine = riga.find(',', inizio);
    if (fine == std::string_view::npos) fine = riga.size();
    campo_riga c;
    c.grezzo = inizio;
    c.da = inizio;
    while (c.da < fine && spazio(riga[c.da])) ++c.da;
    c.a = fine;
    while (c.a > c.da && spazio(riga[c.a - 1])) --c.a;
    c.testo = riga.substr(c.da, c.a - c.da);
    r.push_back(c);
    if (fine == riga.size()) break;
    inizio = fine + 1;
  }
  return r;
}

bool e_intestazione(std::string_view campo) {
  return campo.find('[') != std::string_view::npos && campo.find(']') != std::string_view::npos;
}

}  // namespace

descrizione tipo_del_testo(std::string_view testo, std::string_view nome) {
  int linea = 0, treno = 0;
  for (std::string_view riga : righe_di(testo)) {
    const std::string_view primo = campi_di(riga).front().testo;
    if (primo.empty() || e_intestazione(primo)) continue;
    if (contiene_nc(primo, "lunghezza") && contiene_nc(primo, "percorso")) return descrizione::linea;
    if (record_di(descrizione::linea, false, primo) || record_di(descrizione::linea, true, primo)) ++linea;
    if (record_di(descrizione::treno, false, primo)) ++treno;
  }
  if (linea != treno) return linea > treno ? descrizione::linea : descrizione::treno;
  return contiene_nc(nome, "linea") ? descrizione::linea : descrizione::treno;
}

bool ha_generale(std::string_view testo) { return contiene_nc(testo, "[generale]"); }

documento analizza(std::string_view testo, descrizione tipo) {
  documento d;
  d.tipo = tipo;
  bool iniziato = false;   // past the first "[generale]"
  bool generale = false;   // within the line's general section
  int sezione = -1;
  for (std::string_view t : righe_di(testo)) {
    riga_descrizione r;
    r.testo = t;
    r.campi = campi_di(t);
    const std::string_view primo = r.campi.front().testo;
    if (e_intestazione(primo)) {
      r.intestazione = true;
      const bool e_generale = contiene_nc(primo, "[generale]");
      // The line's general section ends at the next header.
      generale = !iniziato && e_generale;
      iniziato = iniziato || e_generale;
      sezione = static_cast<int>(d.righe.size());
    } else if (iniziato && !primo.empty()) {
      r.record = record_di(tipo, tipo == descrizione::linea && generale, primo);
    }
    r.sezione = r.intestazione ? -1 : sezione;
    d.righe.push_back(std::move(r));
  }
  return d;
}

std::string nome_sezione(const documento& d, int sezione) {
  if (sezione < 0 || static_cast<std::size_t>(sezione) >= d.righe.size()) return "";
  std::string s;
  for (char c : d.righe[static_cast<std::size_t>(sezione)].campi.front().testo) {
    if (!spazio(c)) s += basso(c);
  }
  return s;
}

std::size_t campo_al_byte(const riga_descrizione& r, std::size_t byte) {
  for (std::size_t i = 0; i + 1 < r.campi.size(); ++i) {
    if (byte < r.campi[i + 1].grezzo) return i;
  }
  return r.campi.size() - 1;
}

std::vector<valore_scritto> valori_scritti(const riga_descrizione& r) {
  std::vector<valore_scritto> v;
  if (!r.record) return v;
  const std::size_t n = r.record->valori.size();
  for (std::size_t k = 1; k < r.campi.size(); ++k) {
    const campo_riga& c = r.campi[k];
    if (r.record->ultimo_testo && v.size() + 1 == n) {
      v.push_back({k, c.da, c.a, c.testo});
      continue;
    }
    std::size_t i = c.da;
    bool uno = false;
    while (i < c.a || !uno) {
      std::size_t j = i;
      while (j < c.a && !spazio(r.testo[j])) ++j;
      v.push_back({k, i, j, r.testo.substr(i, j - i)});
      uno = true;
      i = j;
      while (i < c.a && spazio(r.testo[i])) ++i;
      if (i >= c.a) break;
      if (r.record->ultimo_testo && v.size() + 1 == n) {
        v.push_back({k, i, c.a, r.testo.substr(i, c.a - i)});
        break;
      }
    }
  }
  return v;
}

int valore_al_byte(const riga_descrizione& r, const std::vector<valore_scritto>& v, std::size_t byte) {
  const std::size_t k = campo_al_byte(r, byte);
  if (k == 0) return -1;
  int trovato = -1;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v[i].campo != k) continue;
    if (trovato < 0 || v[i].da <= byte) trovato = static_cast<int>(i);
  }
  return trovato;
}

long long numero_scritto(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && spazio(s[i])) ++i;
  const bool meno = i < s.size() && s[i] == '-';
  if (meno) ++i;
  long long n = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9' && n < 1000000000000LL) n = n * 10 + (s[i++] - '0');
  return meno ? -n : n;
}

}  // namespace scenario::lsp
