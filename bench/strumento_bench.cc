// The authors' tool on a long, dense scenario: `scenario compila` as a whole
// (the two descriptions read from disk, compiled, the three files written to
// disk) against the raw write of the same output bytes, and the decoding of
// the files it wrote.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/linea_densa.h"
#include "compiler/file_uscita.h"
#include "platform/piattaforma.h"
#include "platform/piattaforma_memoria.h"
#include "common/nomi.h"
#include "compiler/compila_testi.h"
#include "reader/decodifica.h"

namespace scenario {
namespace {

constexpr int32_t kLunghezza = 1000000;

// A temporary folder holding the two descriptions, removed at the end.
struct banco {
  banco() : cartella(std::filesystem::temp_directory_path() / "scenario_bench_strumento") {
    std::filesystem::create_directories(cartella);
    sistema = piattaforma_di_sistema(cartella.string());
    r.linea = (cartella / "linea.txt").string();
    r.treno = (cartella / "treno.txt").string();
    r.cartella = (cartella / "uscita").string();
    std::filesystem::create_directories(r.cartella);
    sistema->scrivi(r.linea, linea_densa(kLunghezza));
    sistema->scrivi(r.treno, treno_denso(kLunghezza));
  }
  ~banco() { std::filesystem::remove_all(cartella); }

  // The two descriptions compiled in memory: the model the files come from.
  modello compilato() const {
    piattaforma_memoria memoria;
    return compila_testi(memoria, r.id, sistema->leggi(r.linea), sistema->leggi(r.treno), true).m;
  }

  std::filesystem::path cartella;
  std::unique_ptr<piattaforma> sistema;
  richiesta_compilazione r;
};

void BM_StrumentoCompila1000km(benchmark::State& stato) {
  banco b;
  std::size_t byte = 0;
  esito_compilazione e;
  for (auto _ : stato) {
    e = compila_file(b.r);
    if (e.stato > kStatoGuasti) {
      stato.SkipWithError(("compile failed: " + e.errore + e.rapporto).c_str());
      return;
    }
    byte = 0;
    for (const std::string& f : e.scritti) byte += std::filesystem::file_size(f);
  }
  stato.counters["byte"] = static_cast<double>(byte);
  stato.counters["guasti"] = static_cast<double>(e.m.guasti.size());
  stato.counters["avvisi"] = static_cast<double>(e.m.avvisi.size());
  stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations()) * static_cast<int64_t>(byte));
}

// The three images of the same compile, written as they are.
void BM_StrumentoScritturaGrezza1000km(benchmark::State& stato) {
  banco b;
  const modello m = b.compilato();
  const std::string immagini[] = {immagine_tracciato(m), immagine_voci(m), immagine_celle(m)};
  std::size_t byte = 0;
  for (auto _ : stato) {
    byte = 0;
    for (int f = 0; f < 3; ++f) {
      b.sistema->scrivi((b.cartella / ("immagine_" + std::to_string(f))).string(), immagini[f]);
      byte += immagini[f].size();
    }
  }
  stato.counters["byte"] = static_cast<double>(byte);
  stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations()) * static_cast<int64_t>(byte));
}

// Decoding the line geometry (the largest file) from memory.
void BM_StrumentoDecodificaGeometria1000km(benchmark::State& stato) {
  banco b;
  const modello m = b.compilato();
  const std::string immagine = immagine_tracciato(m);
  for (auto _ : stato) {
    const geometria g = decodifica_geometria(immagine);
    benchmark::DoNotOptimize(g.x.data());
  }
  stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations()) * static_cast<int64_t>(immagine.size()));
}

BENCHMARK(BM_StrumentoCompila1000km)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrumentoScritturaGrezza1000km)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrumentoDecodificaGeometria1000km)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario
