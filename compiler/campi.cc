#include "compiler/campi.h"

#include <algorithm>

#include "compiler/esecuzione.h"

namespace scenario {
namespace {

bool spazio(char c) { return c == ' ' || c == '\t'; }
bool fine_riga(char c) { return c == '\r' || c == '\n'; }
// A record has at most 17 values; more are never reported.
constexpr std::size_t kNumeriConTestoMassimi = 32;

char minuscola(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

void lettore_campi::salta_spazi() {
  while (pos_ < testo_.size() && spazio(testo_[pos_])) ++pos_;
}

bool lettore_campi::a_fine_riga() const { return pos_ < testo_.size() && fine_riga(testo_[pos_]); }

void lettore_campi::inizia_campo() {
  if (fine()) throw errore_esecuzione("lettura oltre la fine del file");
  salta_spazi();
  riga_campo_ = riga_;
}

void lettore_campi::chiudi_campo() {
  if (pos_ >= testo_.size()) return;
  const char c = testo_[pos_];
  if (c == ',') {
    ++pos_;
  } else if (c == '\r') {
    ++pos_;
    if (pos_ < testo_.size() && testo_[pos_] == '\n') ++pos_;
    ++riga_;
  } else if (c == '\n') {
    ++pos_;
    ++riga_;
  }
}

std::string_view lettore_campi::testo_di(const campo_letto& c) const {
  std::size_t q = c.inizio;
  while (q < testo_.size() && testo_[q] != ',' && !fine_riga(testo_[q])) ++q;
  return testo_.substr(c.inizio, q - c.inizio);
}

void lettore_campi::salta_riga() {
  if (riga_finita()) return;
  while (pos_ < testo_.size() && !fine_riga(testo_[pos_])) ++pos_;
  chiudi_campo();
}

std::string lettore_campi::testo() {
  inizia_campo();
  const std::size_t inizio = pos_;
  while (pos_ < testo_.size() && testo_[pos_] != ',' && !fine_riga(testo_[pos_])) ++pos_;
  std::string campo(testo_.substr(inizio, pos_ - inizio));
  if (campi_.size() < kNumeriConTestoMassimi) campi_.push_back({riga_campo_, inizio});
  chiudi_campo();
  return campo;
}

int64_t lettore_campi::numero() {
  inizia_campo();
  bool negativo = false;
  int64_t valore = 0;
  std::size_t p = pos_;
  if (p < testo_.size() && testo_[p] == '-') {
    negativo = true;
    ++p;
  }
  bool troppo = false;
  const std::size_t inizio_cifre = p;
  while (p < testo_.size() && testo_[p] >= '0' && testo_[p] <= '9') {
    if (valore > (int64_t{1} << 40)) troppo = true;  // far beyond any field; stop growing
    if (!troppo) valore = valore * 10 + (testo_[p] - '0');
    ++p;
  }
  const std::size_t fine_cifre = p;
  // The rest of the field up to a blank, comma or line end carries no number.
  while (p < testo_.size() && !spazio(testo_[p]) && testo_[p] != ',' && !fine_riga(testo_[p])) ++p;
  if (campi_.size() < kNumeriConTestoMassimi) campi_.push_back({riga_campo_, pos_});
  if (p > fine_cifre || (fine_cifre == inizio_cifre && p > pos_)) {
    if (numeri_con_testo_.size() < kNumeriConTestoMassimi) {
      numeri_con_testo_.push_back({riga_campo_, std::string(testo_.substr(pos_, p - pos_)),
                                   negativo ? -valore : valore});
    }
  }
  pos_ = p;
  salta_spazi();
  chiudi_campo();
  if (troppo) throw errore_esecuzione("numero troppo grande");
  return negativo ? -valore : valore;
}

int32_t lettore_campi::numero32() { return a32(numero()); }
int16_t lettore_campi::numero16() { return a16_esatto(numero()); }
uint8_t lettore_campi::numero8() { return a8_esatto(numero()); }

bool prossima_parola(lettore_campi& l, std::string& campo) {
  if (l.fine()) return false;
  campo = l.testo();
  if (l.fine()) return false;
  for (int salti = 0; salti < 2 && contiene(campo, "-"); ++salti) {
    campo = l.testo();
    if (l.fine()) return false;
  }
  return true;
}

bool contiene(std::string_view campo, std::string_view parola) {
  return campo.find(parola) != std::string_view::npos;
}

// A keyword field is tested against every keyword of its file: a plain
// loop, which gives up at the first character at most places, costs a third
// of the generic search.
bool contiene_nc(std::string_view campo, std::string_view parola) {
  const std::size_t m = parola.size();
  if (m == 0) return true;
  if (m > campo.size()) return false;
  const char primo = minuscola(parola[0]);
  for (std::size_t i = 0, ultimo = campo.size() - m; i <= ultimo; ++i) {
    if (minuscola(campo[i]) != primo) continue;
    std::size_t k = 1;
    while (k < m && minuscola(campo[i + k]) == minuscola(parola[k])) ++k;
    if (k == m) return true;
  }
  return false;
}

}  // namespace scenario
