#include "common/json.h"

namespace scenario {

std::string testo_json(const json& v) { return v.dump(-1, ' ', false, json::error_handler_t::replace); }

void scrivi_json(std::ostream& out, const json& documento, const elementi_json& ancora) {
  if (!documento.is_object()) {
    out << testo_json(documento);
    return;
  }
  out << '{';
  std::size_t k = 0;
  for (auto m = documento.begin(); m != documento.end(); ++m, ++k) {
    const bool ultimo = k + 1 == documento.size();
    const json& v = m.value();
    out << (k ? "," : "") << testo_json(m.key()) << ':';
    const bool a_righe = v.is_array() && ((!v.empty() && v.front().is_object()) || (ultimo && ancora));
    if (!a_righe) {
      out << testo_json(v);
      continue;
    }
    bool primo = true;
    const auto metti = [&out, &primo](const json& e) {
      out << (primo ? "\n  " : ",\n  ") << testo_json(e);
      primo = false;
    };
    out << '[';
    for (const json& e : v) metti(e);
    if (ultimo && ancora) ancora(metti);
    out << ']';
  }
  out << '}';
}

}  // namespace scenario
