#include "chart/svg.h"

#include <cmath>
#include <cstdio>

namespace scenario::svg {

std::string testo(std::string_view utf8) {
  std::string r;
  r.reserve(utf8.size());
  for (char c : utf8) {
    switch (c) {
      case '&': r += "&amp;"; break;
      case '<': r += "&lt;"; break;
      case '>': r += "&gt;"; break;
      case '"': r += "&quot;"; break;
      case '\'': r += "&apos;"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
          r += '?';
        } else {
          r += c;
        }
    }
  }
  return r;
}

std::string num(double v) {
  if (!std::isfinite(v)) return "0";
  const double d = std::nearbyint(v * 10) / 10;
  char b[64];
  std::snprintf(b, sizeof b, "%.1f", d);
  std::string s = b;
  if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
  return s == "-0" ? std::string("0") : s;
}

}  // namespace scenario::svg
