// The comparison of two compiled scenarios, field by field, named and shown
// as the decoder names and shows them; the line geometry's as it comes.
#include "decompiler/confronto.h"

#include <array>
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <type_traits>
#include <utility>

#include "decompiler/ricostruzione.h"

#include "compiler/formato.h"
#include "compiler/codifica.h"
#include "compiler/formato_celle.h"
#include "compiler/formato_geometria.h"
#include "compiler/formato_voci.h"
#include "platform/cp1252.h"
#include "reader/piano_a_pezzi.h"
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

// Every field of the format equal, by the format's own list of fields.
bool stessa_voce(const voce& a, const voce& b) {
  if (a.nome != b.nome) return false;
  std::array<int64_t, 32> va{}, vb{};
  std::size_t na = 0, nb = 0;
  campi_voce(a, [&va, &na](const campo_record&, const auto& x) {
    if constexpr (!std::is_same_v<std::remove_cvref_t<decltype(x)>, std::string>) va.at(na++) = x;
  });
  campi_voce(b, [&vb, &nb](const campo_record&, const auto& x) {
    if constexpr (!std::is_same_v<std::remove_cvref_t<decltype(x)>, std::string>) vb.at(nb++) = x;
  });
  return na == nb && va == vb;
}

bool stessa_cella(const cella& a, const cella& b) {
  std::array<int64_t, 32> va{}, vb{};
  std::size_t na = 0, nb = 0;
  campi_cella(a, [&va, &na](const campo_record&, auto x) { va.at(na++) = x; });
  campi_cella(b, [&vb, &nb](const campo_record&, auto x) { vb.at(nb++) = x; });
  return na == nb && va == vb;
}

}  // namespace

std::vector<differenza> confronta_scenari(const scenario_binario& a, const scenario_binario& b) {
  std::vector<differenza> r;
  auto aggiungi = [&r](tipo_file f, differenza::genere g, int64_t i, int64_t fino, std::string campo,
                       std::string x, std::string y) {
    r.push_back({f, g, i, fino, std::move(campo), std::move(x), std::move(y)});
  };
  // Records equal field by field show the same texts: only the others are
  // written out and compared as shown.
  for (int e = 0; e < kNumeroVoci; ++e) {
    if (stessa_voce(a.voci[static_cast<std::size_t>(e)], b.voci[static_cast<std::size_t>(e)])) continue;
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
    if (stessa_cella(a.celle[i], b.celle[i])) continue;
    const auto ca = testi_cella(a.celle[i]);
    const auto cb = testi_cella(b.celle[i]);
    for (std::size_t k = 0; k < ca.size(); ++k) {
      if (ca[k].second != cb[k].second) {
        const auto ii = static_cast<int64_t>(i);
        aggiungi(tipo_file::celle, differenza::genere::cella, ii, ii, ca[k].first, ca[k].second, cb[k].second);
      }
    }
  }
  return r;
}

struct decompilazione::confronto_geometria::colonna {
  colonna(const piano_in_file& o, uint64_t inizio) : originale(o.byte(), inizio) {}
  cursore_geometria originale;
  int64_t metro = 0;  // of the next value
  std::optional<differenza> aperta;  // the run that the last value extended
  std::vector<differenza> corse;
};

decompilazione::confronto_geometria::confronto_geometria(const piano_in_file& originale) : originale_(originale) {}

decompilazione::confronto_geometria::~confronto_geometria() = default;

decompilazione::confronto_geometria::colonna& decompilazione::confronto_geometria::di(int asse) {
  std::unique_ptr<colonna>& c = colonne_[asse];
  if (!c) c = std::make_unique<colonna>(originale_, asse == 0 ? 0 : originale_.inizio_y());
  return *c;
}

bool decompilazione::confronto_geometria::valori_identici(int asse, std::string_view byte, uint64_t quanti) {
  if (quanti == 0) return false;
  colonna& c = di(asse);
  if (static_cast<uint64_t>(originale_.metri() - c.metro) < quanti) return false;
  const byte_a_pezzi& o = originale_.byte();
  const uint64_t da = c.originale.pos();
  if (da > o.byte() || o.byte() - da < byte.size()) return false;
  // Identical bytes are identical values, in the same number: the
  // original's were all decoded when it was checked.
  char pezzo[16384];
  for (std::size_t i = 0; i < byte.size(); i += sizeof pezzo) {
    const std::size_t k = std::min(sizeof pezzo, byte.size() - i);
    o.leggi(da + i, pezzo, k);
    if (std::memcmp(pezzo, byte.data() + i, k) != 0) return false;
  }
  c.originale.avanza(byte.size());
  c.metro += static_cast<int64_t>(quanti);
  if (c.aperta) c.corse.push_back(*std::exchange(c.aperta, std::nullopt));
  return true;
}

void decompilazione::confronto_geometria::valore(int asse, const numero_etichettato& v) {
  colonna* c = &di(asse);
  // Rows past the original's last have nothing to be compared with: the
  // size tells them.
  if (c->metro >= originale_.metri()) return;
  const int64_t j = c->metro++;
  const numero_etichettato o = c->originale.prossimo();
  if (stesso_etichettato(o, v)) {
    if (c->aperta) c->corse.push_back(*std::exchange(c->aperta, std::nullopt));
    return;
  }
  if (c->aperta) {
    c->aperta->fino = j;
    return;
  }
  c->aperta = differenza{tipo_file::geometria, differenza::genere::geometria, j, j, asse == 0 ? "x" : "y",
                         testo_etichettato(o), testo_etichettato(v)};
}

std::vector<differenza> decompilazione::confronto_geometria::finisci(uint64_t metri) {
  std::vector<differenza> r;
  const auto a = static_cast<uint64_t>(originale_.metri());
  if (a != metri) {
    r.push_back({tipo_file::geometria, differenza::genere::dimensione, 0, 0, "", n(static_cast<int64_t>(a)) + " metri",
                 n(static_cast<int64_t>(metri)) + " metri"});
  }
  for (std::unique_ptr<colonna>& c : colonne_) {
    if (!c) continue;
    if (c->aperta) c->corse.push_back(*std::exchange(c->aperta, std::nullopt));
    for (differenza& d : c->corse) r.push_back(std::move(d));
    c.reset();
  }
  return r;
}

void decompilazione::colonne_scritte::pezzo(const pezzo_posizionato& p) {
  if (!in_forma_) return;
  colonna* k = nullptr;
  if (x_.aperta && p.posizione == x_.fine) {
    k = &x_;
  } else if (y_.aperta && p.posizione == y_.fine) {
    k = &y_;
  } else if (!x_.aperta && p.posizione == 0) {
    k = &x_;
  } else if (!y_.aperta && p.posizione != 0) {
    // The values of x past the original's rows were taken for y.
    if (x_.valori > originali_) {
      in_forma_ = false;
      return;
    }
    k = &y_;
  } else {
    in_forma_ = false;
    return;
  }
  if (!k->aperta) {
    k->aperta = true;
    k->inizio = k->fine = p.posizione;
  }
  k->fine += p.byte.size();
  decodifica(*k, k == &x_ ? 0 : 1, p.byte);
}

std::optional<uint64_t> decompilazione::colonne_scritte::righe() const {
  if (!in_forma_ || !x_.aperta || !x_.resto.empty()) return std::nullopt;
  if (!y_.aperta) {
    // One run from offset 0: x then y, split where the original splits.
    if (x_.valori != 2 * originali_) return std::nullopt;
    return originali_;
  }
  if (x_.fine != y_.inizio || !y_.resto.empty() || x_.valori != y_.valori) return std::nullopt;
  return x_.valori;
}

namespace {

// The size of the value whose tag starts `p`; 0 for a tag no value has.
std::size_t misura_valore(const char* p) {
  switch (decodifica_u16(p + formato::etichettato::etichetta)) {
    case formato::kEtichettaVuoto: return formato::kBytesVuoto;
    case formato::kEtichettaIntero: return formato::kBytesIntero;
    case formato::kEtichettaReale: return formato::kBytesReale;
    default: return 0;
  }
}

// The whole values at the start of `b`, at most `massimo`: how many, and
// their bytes. A tag no value has ends them.
std::pair<uint64_t, std::size_t> valori_interi(std::string_view b, uint64_t massimo) {
  uint64_t quanti = 0;
  std::size_t i = 0;
  while (quanti < massimo && b.size() - i >= formato::kBytesVuoto) {
    const std::size_t misura = misura_valore(b.data() + i);
    if (misura == 0 || b.size() - i < misura) break;
    i += misura;
    ++quanti;
  }
  return {quanti, i};
}

}  // namespace

std::size_t decompilazione::colonne_scritte::valori(colonna& k, int asse, std::string_view b) {
  std::size_t i = 0;
  // A recompile that comes back gives the original's bytes: taken a run at
  // a time (x's, then, in a run from offset 0, y's), they are compared
  // without decoding them. What is not the same goes value by value below.
  for (int tratto = 0; tratto < 2; ++tratto) {
    int verso = asse;
    uint64_t massimo = UINT64_MAX;
    if (asse == 0 && k.valori < originali_) {
      massimo = originali_ - k.valori;
    } else if (asse == 0) {
      if (y_.aperta) break;
      verso = 1;
    }
    const auto [quanti, byte] = valori_interi(b.substr(i), massimo);
    if (!confronto_.valori_identici(verso, b.substr(i, byte), quanti)) break;
    k.valori += quanti;
    i += byte;
  }
  while (b.size() - i >= formato::kBytesVuoto) {
    const std::size_t misura = misura_valore(b.data() + i);
    if (misura == 0) {
      in_forma_ = false;
      return b.size();
    }
    if (b.size() - i < misura) break;
    numero_etichettato v;
    decodifica_etichettato(b.data() + i, misura, 0, v);
    if (asse == 0 && k.valori >= originali_) {
      // Past the original's x: its y, while the run from offset 0 may be
      // the whole file; x longer than the original's, when y comes apart.
      if (y_.aperta) {
        in_forma_ = false;
        return b.size();
      }
      confronto_.valore(1, v);
    } else {
      confronto_.valore(asse, v);
    }
    ++k.valori;
    i += misura;
  }
  return i;
}

void decompilazione::colonne_scritte::decodifica(colonna& k, int asse, std::string_view b) {
  if (!k.resto.empty()) {
    // A value is at most kBytesReale long: what it lacks is in the first
    // bytes of this piece.
    const std::size_t prima = k.resto.size();
    k.resto.append(b.substr(0, formato::kBytesReale));
    const std::size_t fatti = valori(k, asse, k.resto);
    if (!in_forma_) return;
    if (fatti == 0) return;  // the piece was shorter than the value: all of it is kept
    b.remove_prefix(fatti - prima);
    k.resto.clear();
  }
  const std::size_t fatti = valori(k, asse, b);
  if (in_forma_) k.resto.assign(b.substr(fatti));
}

}  // namespace scenario
