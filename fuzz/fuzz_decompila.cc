// The decompiler against random valid descriptions: the input's bytes make
// the choices of the generator of tests/descrizioni_casuali.h (a short line
// and its train), which are compiled, decompiled and compiled again; the
// files must come back identical. With the first byte odd, the compiled
// files are then damaged by the rest of the input, byte by byte: the
// decompiler must refuse them with its own error or end with a comparison,
// and never claim an identical round trip that the bytes do not show.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>

#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "common/nomi.h"
#include "fuzz/compila_fuzz.h"
#include "tests/descrizioni_casuali.h"
#include "compiler/compilazione.h"
#include "decompiler/decompila.h"
#include "reader/piano_a_pezzi.h"

namespace {

using namespace scenario;

// The line geometry as the compile wrote it, kept in the pieces it came in
// and read across them, as the tool reads a file in pieces. Held whole, the
// file was copied four times on its way to the decompiler, and under
// AddressSanitizer each copy of its hundreds of kilobytes is a fresh
// mapping: that was a third of every input that asks for the geometry.
class geometria_in_pezzi : public byte_a_pezzi {
 public:
  void aggiungi(const pezzo_posizionato& p) {
    // The pieces of a file tile it: each byte is written once.
    const auto dopo = pezzi_.lower_bound(p.posizione);
    VERIFICA(dopo == pezzi_.end() || dopo->first >= p.posizione + p.byte.size());
    VERIFICA(dopo == pezzi_.begin() || std::prev(dopo)->first + std::prev(dopo)->second.size() <= p.posizione);
    pezzi_.emplace_hint(dopo, p.posizione, std::string(p.byte));
    scritti_ += p.byte.size();
  }
  // Every byte up to the furthest piece was written.
  bool intera() const { return pezzi_.empty() || scritti_ == byte(); }

  uint64_t byte() const override {
    return pezzi_.empty() ? 0 : pezzi_.rbegin()->first + pezzi_.rbegin()->second.size();
  }
  void leggi(uint64_t offset, char* dove, std::size_t quanti) const override {
    auto it = std::prev(pezzi_.upper_bound(offset));
    for (uint64_t da = offset - it->first; quanti > 0; ++it, da = 0) {
      const std::size_t k = std::min<uint64_t>(quanti, it->second.size() - da);
      std::memcpy(dove, it->second.data() + da, k);
      dove += k;
      quanti -= k;
    }
  }

 private:
  std::map<uint64_t, std::string> pezzi_;  // by offset
  uint64_t scritti_ = 0;
};

// The memory platform, but the line geometry goes into a geometria_in_pezzi
// and leaves an empty file.
class piattaforma_decompila : public piattaforma_memoria {
 public:
  std::string scrivi_temporaneo_posizionato(const std::string& n,
                                            const std::function<pezzo_posizionato()>& prossimo) override {
    if (n != nome_file(*this, kNomeLinea, kNumeroTreno, file_scenario::geometria_linea)) {
      return piattaforma_memoria::scrivi_temporaneo_posizionato(n, prossimo);
    }
    geometria = std::make_shared<geometria_in_pezzi>();
    for (pezzo_posizionato p = prossimo(); !p.byte.empty(); p = prossimo()) geometria->aggiungi(p);
    VERIFICA(geometria->intera());
    return piattaforma_memoria::scrivi_temporaneo(n, [] { return std::string_view(); });
  }
  std::shared_ptr<geometria_in_pezzi> geometria;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  if (n == 0) return 0;
  const bool danneggia = dati[0] & 1;
  // The geometry in one input of four: it costs most of a compile, and only
  // the curves and the comparison of its rows need it.
  const bool geometria = (dati[0] & 6) == 6;
  // The generator takes the first half of the rest when the files are then
  // damaged with the second half; all of it otherwise.
  const std::size_t scelte = danneggia ? (n - 1) / 2 : n - 1;
  const prova::descrizioni_casuali d = prova::genera_descrizioni(prova::caso_da_byte(dati + 1, scelte));

  // The compiler driver alone: the tool's checks and diagnostics around it
  // change no byte of the files, and the recompile runs them.
  piattaforma_decompila m;
  m.file[nome_file(m, kNomeLinea, kNumeroTreno, file_scenario::descrizione_linea)] = d.linea;
  m.file[nome_file(m, kNomeLinea, kNumeroTreno, file_scenario::descrizione_treno)] = d.treno;
  const risultato_compilazione e = compila(m, identita_incorporata(), geometria);
  if (e.rapporto || e.sistema) FALLISCI("a generated description gave no files");
  file_scenario_binari f;
  f.voci = std::move(m.file.at(nome_file(m, kNomeLinea, kNumeroTreno, file_scenario::voci)));
  f.celle = std::move(m.file.at(nome_file(m, kNomeLinea, kNumeroTreno, file_scenario::celle)));
  if (geometria) {
    VERIFICA(m.geometria != nullptr && m.file.count(nome_file(m, kNomeLinea, kNumeroTreno, file_scenario::geometria_linea)));
    f.geometria_a_pezzi = std::move(m.geometria);
  }
  f.con_geometria = geometria;

  if (danneggia) {
    // Pairs of bytes: where (in the items, then the track) and what.
    for (std::size_t i = 1 + scelte; i + 2 < n; i += 3) {
      std::string& bersaglio = dati[i] & 1 ? f.celle : f.voci;
      const std::size_t dove = ((std::size_t{dati[i]} << 8 | dati[i + 1]) >> 1) % bersaglio.size();
      bersaglio[dove] = static_cast<char>(dati[i + 2]);
    }
  }
  esito_decompilazione r;
  try {
    r = decompila_e_verifica(f, ricompilatore_in_memoria(decodifica_voci(f.voci), {"linea.txt", "treno.txt"}));
  } catch (const errore_decodifica&) {
    if (!danneggia) FALLISCI("the compiled files of a generated description refused");
    return 0;
  } catch (const std::exception& x) {
    std::fprintf(stderr, "escaped the decompiler: %s: %s\n", typeid(x).name(), x.what());
    std::abort();
  }
  if (r.identico && !r.differenze.empty()) FALLISCI("identical with differences");
  if (!r.identico && r.ricompilato && r.differenze.empty() && r.perche.empty()) FALLISCI("differing without a word");
  // A generated scenario must come back byte for byte.
  if (!danneggia && !r.identico) FALLISCI("a generated scenario did not come back identical");
  return 0;
}
