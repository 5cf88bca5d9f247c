// The comparison of two compiled scenarios, field by field, named and shown
// as the decoder names and shows them.
#include "decompiler/ricostruzione.h"

#include <charconv>
#include <cstring>
#include <type_traits>

#include "compiler/formato.h"
#include "compiler/formato_celle.h"
#include "compiler/formato_voci.h"
#include "platform/cp1252.h"
#include "reader/stampa.h"

namespace scenario {
namespace {

using decompilazione::n;

std::string testo_reale(double v) {
  char b[32];
  const auto r = std::to_chars(b, b + sizeof b, v);
  return std::string(b, r.ptr);
}

std::string testo_etichettato(const numero_etichettato& x) {
  switch (x.etichetta) {
    case numero_etichettato::vuoto: return "vuoto";
    case numero_etichettato::intero: return "intero " + n(x.valore_intero);
    default: return testo_reale(x.valore_reale);
  }
}

bool stesso_etichettato(const numero_etichettato& a, const numero_etichettato& b) {
  if (a.etichetta != b.etichetta) return false;
  if (a.etichetta == numero_etichettato::intero) return a.valore_intero == b.valore_intero;
  if (a.etichetta == numero_etichettato::reale) {
    return std::memcmp(&a.valore_reale, &b.valore_reale, sizeof(double)) == 0;
  }
  return true;
}

// Every field of a record as decodifica names and shows it, in file order:
// the format's own list of fields.
std::vector<std::pair<const char*, std::string>> testi_voce(const voce& v) {
  std::vector<std::pair<const char*, std::string>> r;
  campi_voce(v, [&r](const campo_record& k, const auto& x) {
    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(x)>, std::string>) {
      r.emplace_back(k.nome, "\"" + cp1252_in_utf8(x) + "\"");
    } else {
      r.emplace_back(k.nome, n(x));
    }
  });
  return r;
}

std::vector<std::pair<const char*, std::string>> testi_cella(const cella& c) {
  std::vector<std::pair<const char*, std::string>> r;
  campi_cella(c, [&r](const campo_record& k, auto x) {
    r.emplace_back(k.nome, k.offset == formato::cella::tipo ? nome_tipo(static_cast<uint8_t>(x)) : n(x));
  });
  return r;
}


}  // namespace

std::vector<differenza> confronta_scenari(const scenario_binario& a, const scenario_binario& b) {
  std::vector<differenza> r;
  auto aggiungi = [&r](tipo_file f, differenza::genere g, int64_t i, int64_t fino, std::string campo,
                       std::string x, std::string y) {
    r.push_back({f, g, i, fino, std::move(campo), std::move(x), std::move(y)});
  };
  for (int e = 0; e < kNumeroVoci; ++e) {
    const auto ca = testi_voce(a.voci[static_cast<std::size_t>(e)]);
    const auto cb = testi_voce(b.voci[static_cast<std::size_t>(e)]);
    for (std::size_t k = 0; k < ca.size(); ++k) {
      if (ca[k].second != cb[k].second) {
        aggiungi(tipo_file::voci, differenza::genere::voce, e, e, ca[k].first, ca[k].second, cb[k].second);
      }
    }
  }
  if (a.celle.size() != b.celle.size()) {
    aggiungi(tipo_file::celle, differenza::genere::dimensione, 0, 0, "", n(static_cast<int64_t>(a.celle.size())) + " celle",
             n(static_cast<int64_t>(b.celle.size())) + " celle");
  }
  const std::size_t celle = std::min(a.celle.size(), b.celle.size());
  for (std::size_t i = 0; i < celle; ++i) {
    const auto ca = testi_cella(a.celle[i]);
    const auto cb = testi_cella(b.celle[i]);
    for (std::size_t k = 0; k < ca.size(); ++k) {
      if (ca[k].second != cb[k].second) {
        const auto ii = static_cast<int64_t>(i);
        aggiungi(tipo_file::celle, differenza::genere::cella, ii, ii, ca[k].first, ca[k].second, cb[k].second);
      }
    }
  }
  if (a.piano && b.piano) {
    const geometria& ga = *a.piano;
    const geometria& gb = *b.piano;
    if (ga.x.size() != gb.x.size()) {
      aggiungi(tipo_file::geometria, differenza::genere::dimensione, 0, 0, "",
               n(static_cast<int64_t>(ga.x.size())) + " metri", n(static_cast<int64_t>(gb.x.size())) + " metri");
    }
    for (int asse = 0; asse < 2; ++asse) {
      const auto& xa = asse == 0 ? ga.x : ga.y;
      const auto& xb = asse == 0 ? gb.x : gb.y;
      const std::size_t m = std::min(xa.size(), xb.size());
      for (std::size_t j = 0; j < m; ++j) {
        if (stesso_etichettato(xa[j], xb[j])) continue;
        std::size_t fino = j;
        while (fino + 1 < m && !stesso_etichettato(xa[fino + 1], xb[fino + 1])) ++fino;
        aggiungi(tipo_file::geometria, differenza::genere::geometria, static_cast<int64_t>(j),
                 static_cast<int64_t>(fino), asse == 0 ? "x" : "y", testo_etichettato(xa[j]),
                 testo_etichettato(xb[j]));
        j = fino;
      }
    }
  }
  return r;
}

}  // namespace scenario
