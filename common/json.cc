#include "common/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace scenario::json {

std::string stringa(std::string_view utf8) {
  std::string s = "\"";
  for (char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    switch (c) {
      case '"': s += "\\\""; break;
      case '\\': s += "\\\\"; break;
      case '\n': s += "\\n"; break;
      case '\r': s += "\\r"; break;
      case '\t': s += "\\t"; break;
      default:
        if (b < 0x20 || b == 0x7F) {
          char u[8];
          std::snprintf(u, sizeof u, "\\u%04x", b);
          s += u;
        } else {
          s += c;
        }
    }
  }
  return s + "\"";
}

std::string reale(double v) {
  if (!std::isfinite(v)) return "null";
  char b[32];
  const auto r = std::to_chars(b, b + sizeof b, v);
  return std::string(b, r.ptr);
}

const valore& valore::operator[](const std::string& chiave) const {
  if (t != tipo::oggetto) throw std::out_of_range("non è un oggetto: " + chiave);
  return o.at(chiave);
}

errore_json::errore_json(std::size_t offset, const std::string& motivo)
    : std::runtime_error("JSON non valido all'offset " + std::to_string(offset) + ": " + motivo), offset_(offset) {}

namespace {

class lettore {
 public:
  explicit lettore(std::string_view t) : t_(t) {}

  valore tutto() {
    valore v = leggi_valore(0);
    spazi();
    if (p_ != t_.size()) fallisci("testo dopo il valore");
    return v;
  }

 private:
  [[noreturn]] void fallisci(const std::string& motivo) const { throw errore_json(p_, motivo); }

  void spazi() {
    while (p_ < t_.size() && (t_[p_] == ' ' || t_[p_] == '\t' || t_[p_] == '\n' || t_[p_] == '\r')) ++p_;
  }

  bool parola(std::string_view w) {
    if (t_.substr(p_, w.size()) != w) return false;
    p_ += w.size();
    return true;
  }

  valore leggi_valore(int profondita) {
    if (profondita > 200) fallisci("annidamento troppo profondo");
    spazi();
    if (p_ >= t_.size()) fallisci("fine inattesa");
    valore v;
    const char c = t_[p_];
    if (c == '{') {
      v.t = valore::tipo::oggetto;
      ++p_;
      spazi();
      if (p_ < t_.size() && t_[p_] == '}') {
        ++p_;
        return v;
      }
      for (;;) {
        spazi();
        if (p_ >= t_.size() || t_[p_] != '"') fallisci("attesa una chiave");
        std::string k = leggi_stringa();
        spazi();
        if (p_ >= t_.size() || t_[p_] != ':') fallisci("atteso ':'");
        ++p_;
        if (v.o.count(k)) fallisci("chiave ripetuta " + k);
        v.o.emplace(std::move(k), leggi_valore(profondita + 1));
        spazi();
        if (p_ < t_.size() && t_[p_] == ',') {
          ++p_;
          continue;
        }
        if (p_ < t_.size() && t_[p_] == '}') {
          ++p_;
          return v;
        }
        fallisci("atteso ',' o '}'");
      }
    }
    if (c == '[') {
      v.t = valore::tipo::array;
      ++p_;
      spazi();
      if (p_ < t_.size() && t_[p_] == ']') {
        ++p_;
        return v;
      }
      for (;;) {
        v.a.push_back(leggi_valore(profondita + 1));
        spazi();
        if (p_ < t_.size() && t_[p_] == ',') {
          ++p_;
          continue;
        }
        if (p_ < t_.size() && t_[p_] == ']') {
          ++p_;
          return v;
        }
        fallisci("atteso ',' o ']'");
      }
    }
    if (c == '"') {
      v.t = valore::tipo::stringa;
      v.s = leggi_stringa();
      return v;
    }
    if (parola("null")) return v;
    if (parola("true")) {
      v.t = valore::tipo::booleano;
      v.b = true;
      return v;
    }
    if (parola("false")) {
      v.t = valore::tipo::booleano;
      return v;
    }
    v.t = valore::tipo::numero;
    v.n = leggi_numero();
    return v;
  }

  // The grammar of JSON numbers, checked before the conversion.
  double leggi_numero() {
    const std::size_t inizio = p_;
    auto cifre = [&] {
      const std::size_t a = p_;
      while (p_ < t_.size() && t_[p_] >= '0' && t_[p_] <= '9') ++p_;
      return p_ - a;
    };
    if (p_ < t_.size() && t_[p_] == '-') ++p_;
    if (p_ < t_.size() && t_[p_] == '0') {
      ++p_;
    } else if (cifre() == 0) {
      fallisci("valore non valido");
    }
    if (p_ < t_.size() && t_[p_] == '.') {
      ++p_;
      if (cifre() == 0) fallisci("cifre attese dopo il punto");
    }
    if (p_ < t_.size() && (t_[p_] == 'e' || t_[p_] == 'E')) {
      ++p_;
      if (p_ < t_.size() && (t_[p_] == '+' || t_[p_] == '-')) ++p_;
      if (cifre() == 0) fallisci("esponente senza cifre");
    }
    double d = 0;
    const auto r = std::from_chars(t_.data() + inizio, t_.data() + p_, d);
    if (r.ec != std::errc()) fallisci("numero fuori campo");
    return d;
  }

  static void metti_utf8(std::string& s, uint32_t c) {
    if (c < 0x80) {
      s += static_cast<char>(c);
    } else if (c < 0x800) {
      s += static_cast<char>(0xC0 | (c >> 6));
      s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      s += static_cast<char>(0xE0 | (c >> 12));
      s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      s += static_cast<char>(0xF0 | (c >> 18));
      s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      s += static_cast<char>(0x80 | (c & 0x3F));
    }
  }

  uint32_t quattro_esadecimali() {
    if (p_ + 4 > t_.size()) fallisci("\\u troncato");
    uint32_t c = 0;
    for (int i = 0; i < 4; ++i) {
      const char h = t_[p_++];
      c <<= 4;
      if (h >= '0' && h <= '9') c |= static_cast<uint32_t>(h - '0');
      else if (h >= 'a' && h <= 'f') c |= static_cast<uint32_t>(h - 'a' + 10);
      else if (h >= 'A' && h <= 'F') c |= static_cast<uint32_t>(h - 'A' + 10);
      else fallisci("cifra esadecimale attesa");
    }
    return c;
  }

  std::string leggi_stringa() {
    ++p_;  // the opening quote
    std::string s;
    for (;;) {
      if (p_ >= t_.size()) fallisci("stringa non chiusa");
      const char c = t_[p_++];
      if (c == '"') return s;
      if (static_cast<unsigned char>(c) < 0x20) fallisci("carattere di controllo in una stringa");
      if (c != '\\') {
        s += c;
        continue;
      }
      if (p_ >= t_.size()) fallisci("stringa non chiusa");
      const char e = t_[p_++];
      switch (e) {
        case '"': s += '"'; break;
        case '\\': s += '\\'; break;
        case '/': s += '/'; break;
        case 'b': s += '\b'; break;
        case 'f': s += '\f'; break;
        case 'n': s += '\n'; break;
        case 'r': s += '\r'; break;
        case 't': s += '\t'; break;
        case 'u': {
          uint32_t c1 = quattro_esadecimali();
          if (c1 >= 0xD800 && c1 < 0xDC00) {
            if (!parola("\\u")) fallisci("surrogato senza il secondo");
            const uint32_t c2 = quattro_esadecimali();
            if (c2 < 0xDC00 || c2 >= 0xE000) fallisci("surrogato non valido");
            c1 = 0x10000 + ((c1 - 0xD800) << 10) + (c2 - 0xDC00);
          } else if (c1 >= 0xDC00 && c1 < 0xE000) {
            fallisci("surrogato non valido");
          }
          metti_utf8(s, c1);
          break;
        }
        default: fallisci("sequenza di escape non valida");
      }
    }
  }

  std::string_view t_;
  std::size_t p_ = 0;
};

}  // namespace

valore leggi(std::string_view testo) { return lettore(testo).tutto(); }

}  // namespace scenario::json
