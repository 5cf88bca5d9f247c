#include "reader/decodifica.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <utility>

#include "common/nomi.h"
#include "compiler/codifica.h"
#include "platform/percorsi.h"
#include "platform/piattaforma.h"
#include "reader/piano_a_pezzi.h"

namespace scenario {
namespace {

std::string n(uint64_t v) { return std::to_string(v); }

[[noreturn]] void fallisci(const std::string& nome) {
  const int e = errno != 0 ? errno : EIO;
  throw errore_sistema(nome, e, std::strerror(e));
}

const char* descrizione_massimo(tipo_file t) {
  switch (t) {
    case tipo_file::geometria: return "la geometria del tracciato più lungo";
    case tipo_file::voci: return "87 voci con i nomi più lunghi";
    case tipo_file::celle: return "le celle del tracciato più lungo";
  }
  return "";
}

[[noreturn]] void troppi_valori() {
  throw errore_dimensione("file geometria troppo grande: più di " + n(formato::kRigheMassime) +
                          " valori per coordinata, al massimo " + n(formato::kRigheMassime) +
                          " (le righe del tracciato più lungo)");
}

[[noreturn]] void troppo_grande(tipo_file t, const std::string& quanto) {
  throw errore_dimensione(std::string("file ") + nome_tipo_file(t) + " troppo grande: " + quanto + " byte, al massimo " +
                          n(byte_massimi(t)) + " (" + descrizione_massimo(t) + ")");
}

// A pipe or a device, whose size is not known before it ends: read into
// memory, and refused as soon as it passes the kind's limit (a geometry also
// as soon as it holds more values than the longest track, so that a stream
// of empty values stops at a fifth of the limit).
std::string leggi_flusso(const std::string& nome, tipo_file t) {
  errno = 0;
  std::ifstream f(percorso(nome), std::ios::binary);
  if (!f) fallisci(nome);
  const uint64_t massimo = byte_massimi(t);
  const uint64_t valori_massimi = 2 * formato::kRigheMassime;
  std::string byte;
  uint64_t valori = 0;
  std::size_t prossimo = 0;  // offset of the first value not yet counted
  char blocco[65536];
  for (;;) {
    errno = 0;
    f.read(blocco, sizeof blocco);
    const auto letti = static_cast<std::size_t>(f.gcount());
    if (letti == 0) {
      if (f.bad()) fallisci(nome);
      break;
    }
    if (byte.size() + letti > massimo) troppo_grande(t, "più di " + n(massimo));
    byte.append(blocco, letti);
    while (t == tipo_file::geometria && byte.size() - prossimo >= formato::kBytesVuoto) {
      const uint16_t etichetta = decodifica_u16(byte.data() + prossimo);
      const std::size_t k = etichetta == formato::kEtichettaIntero  ? formato::kBytesIntero
                            : etichetta == formato::kEtichettaReale ? formato::kBytesReale
                                                                    : formato::kBytesVuoto;
      // A tag that is none of the three is left to the decoder to refuse.
      if (etichetta != formato::kEtichettaVuoto && k == formato::kBytesVuoto) break;
      if (byte.size() - prossimo < k) break;
      prossimo += k;
      if (++valori > valori_massimi) troppi_valori();
    }
    if (f.eof()) break;
  }
  return byte;
}

void conta(conteggio_etichette& c, const numero_etichettato& v) {
  if (v.etichetta == numero_etichettato::intero) {
    ++c.intero;
  } else if (v.etichetta == numero_etichettato::reale) {
    ++c.reale;
  } else {
    ++c.vuoto;
  }
}

// The last metre that holds a value in either column, from the last one of
// each.
void ultimo(riassunto_geometria& r, std::optional<uint64_t> mx, const numero_etichettato& vx,
            std::optional<uint64_t> my, const numero_etichettato& vy) {
  if (!mx && !my) return;
  const uint64_t m = std::max(mx.value_or(0), my.value_or(0));
  r.ultimo_calcolato = static_cast<int64_t>(m);
  r.ultimo_x = mx == m ? vx : numero_etichettato{};
  r.ultimo_y = my == m ? vy : numero_etichettato{};
}

class vista_file : public vista_geometria {
 public:
  explicit vista_file(std::shared_ptr<const byte_a_pezzi> b) : b_(std::move(b)) {
    r_.byte = b_->byte();
    // Once through to check every value and count them.
    const uint64_t per_colonna = controlla_geometria(*b_, kPezzoPiano, [](uint64_t indice, uint64_t) {
      if (indice == 2 * formato::kRigheMassime) troppi_valori();
    });
    const uint64_t quanti = 2 * per_colonna;
    // Once more for the counts of each column and where y starts.
    r_.valori_per_coordinata = quanti / 2;
    std::optional<uint64_t> mx, my;
    numero_etichettato vx, vy;
    cursore_geometria c(*b_, 0);
    for (uint64_t j = 0; j < quanti; ++j) {
      if (j == r_.valori_per_coordinata) r_.inizio_y = c.pos();
      const numero_etichettato v = c.prossimo();
      const bool x = j < r_.valori_per_coordinata;
      conta(x ? r_.x : r_.y, v);
      if (v.etichetta == numero_etichettato::vuoto) continue;
      if (x) {
        mx = j;
        vx = v;
      } else {
        my = j - r_.valori_per_coordinata;
        vy = v;
      }
    }
    ultimo(r_, mx, vx, my, vy);
  }
  const riassunto_geometria& riassunto() const override { return r_; }
  void righe(int64_t da, int64_t a, const std::function<void(const riga_geometria&)>& riga) const override {
    const auto metri = static_cast<int64_t>(r_.valori_per_coordinata);
    da = std::max<int64_t>(da, 0);
    a = std::min<int64_t>(a, metri - 1);
    if (da > a) return;
    cursore_geometria cx(*b_, 0), cy(*b_, r_.inizio_y);
    for (int64_t j = 0; j <= a; ++j) {
      riga_geometria r{static_cast<int32_t>(j), cx.prossimo(), cy.prossimo()};
      if (j >= da) riga(r);
    }
  }

 private:
  std::shared_ptr<const byte_a_pezzi> b_;
  riassunto_geometria r_;
};

class vista_tabelle : public vista_geometria {
 public:
  vista_tabelle(const geometria& g, uint64_t byte) : g_(g) {
    r_.byte = byte;
    r_.valori_per_coordinata = std::min(g.x.size(), g.y.size());
    std::optional<uint64_t> mx, my;
    for (std::size_t j = 0; j < r_.valori_per_coordinata; ++j) {
      conta(r_.x, g.x[j]);
      conta(r_.y, g.y[j]);
      if (g.x[j].etichetta != numero_etichettato::vuoto) mx = j;
      if (g.y[j].etichetta != numero_etichettato::vuoto) my = j;
    }
    ultimo(r_, mx, mx ? g.x[*mx] : numero_etichettato{}, my, my ? g.y[*my] : numero_etichettato{});
  }
  const riassunto_geometria& riassunto() const override { return r_; }
  void righe(int64_t da, int64_t a, const std::function<void(const riga_geometria&)>& riga) const override {
    const auto metri = static_cast<int64_t>(r_.valori_per_coordinata);
    for (int64_t j = std::max<int64_t>(da, 0); j <= std::min<int64_t>(a, metri - 1); ++j) {
      const auto k = static_cast<std::size_t>(j);
      riga({static_cast<int32_t>(j), g_.x[k], g_.y[k]});
    }
  }

 private:
  const geometria& g_;
  riassunto_geometria r_;
};

bool finisce_con(std::string_view s, std::string_view fine) {
  return s.size() >= fine.size() && s.substr(s.size() - fine.size()) == fine;
}

}  // namespace

std::optional<tipo_file> tipo_da_nome(std::string_view nome) {
  if (finisce_con(nome, suffisso(file_scenario::geometria_linea))) return tipo_file::geometria;
  if (finisce_con(nome, suffisso(file_scenario::voci))) return tipo_file::voci;
  if (finisce_con(nome, suffisso(file_scenario::celle))) return tipo_file::celle;
  return std::nullopt;
}

std::optional<tipo_file> tipo_da_parola(std::string_view parola) {
  if (parola == "geometria" || parola == "geometry") return tipo_file::geometria;
  if (parola == "voci" || parola == "items") return tipo_file::voci;
  if (parola == "celle" || parola == "track") return tipo_file::celle;
  return std::nullopt;
}

const char* nome_tipo_file(tipo_file t) {
  switch (t) {
    case tipo_file::geometria: return "geometria";
    case tipo_file::voci: return "voci";
    case tipo_file::celle: return "celle";
  }
  return "";
}

file_decodificato decodifica(tipo_file t, std::string_view byte) {
  file_decodificato f;
  f.tipo = t;
  f.byte = byte.size();
  switch (t) {
    case tipo_file::geometria: f.piano = decodifica_geometria(byte); break;
    case tipo_file::voci: f.voci = decodifica_voci(byte); break;
    case tipo_file::celle: f.celle = decodifica_celle(byte); break;
  }
  return f;
}

uint64_t byte_massimi(tipo_file t) {
  switch (t) {
    case tipo_file::geometria: return formato::kBytesGeometriaMassimi;
    case tipo_file::voci: return formato::kBytesVociMassimi;
    case tipo_file::celle: return formato::kBytesCelleMassimi;
  }
  return 0;
}

std::shared_ptr<const byte_a_pezzi> apri_binario(piattaforma& sistema, const std::string& nome, tipo_file t) {
  std::error_code e;
  const std::filesystem::file_status stato = std::filesystem::status(percorso(nome), e);
  switch (stato.type()) {
    case std::filesystem::file_type::regular: {
      const uint64_t byte = std::filesystem::file_size(percorso(nome), e);
      if (!e && byte > byte_massimi(t)) troppo_grande(t, n(byte));
      auto b = byte_da_file(nome);
      if (b->byte() > byte_massimi(t)) troppo_grande(t, n(b->byte()));
      return b;
    }
    case std::filesystem::file_type::fifo:
    case std::filesystem::file_type::character:
    case std::filesystem::file_type::block:
      return byte_in_memoria(leggi_flusso(nome, t));
    default: {
      // Missing, a folder, or what cannot be told: the platform says why it
      // cannot be read, as it would for any file.
      return byte_in_memoria(sistema.leggi(nome, byte_massimi(t)));
    }
  }
}

std::string leggi_binario(piattaforma& sistema, const std::string& nome, tipo_file t) {
  const std::shared_ptr<const byte_a_pezzi> b = apri_binario(sistema, nome, t);
  std::string byte(static_cast<std::size_t>(b->byte()), '\0');
  b->leggi(0, byte.data(), byte.size());
  return byte;
}

std::unique_ptr<vista_geometria> geometria_a_pezzi(std::shared_ptr<const byte_a_pezzi> b) {
  return std::make_unique<vista_file>(std::move(b));
}

std::unique_ptr<vista_geometria> geometria_in_memoria(const geometria& g, uint64_t byte) {
  return std::make_unique<vista_tabelle>(g, byte);
}

}  // namespace scenario
