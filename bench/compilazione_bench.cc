// What a compile costs against the plain write of the bytes it produces.
//
// Each compile runs memorizza_percorso on the descriptions in a memory
// folder, so it costs the reading, the plan and the serialising of the three
// files, and their copy into the folder. The raw write puts the same three
// byte strings into files of a real temporary folder.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/linea_densa.h"
#include "compiler/file_uscita.h"
#include "compiler/compilazione.h"
#include "compiler/modello.h"
#include "platform/piattaforma.h"
#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "common/nomi.h"
#include "common/righe.h"
#include "texts/testi.h"

namespace scenario {
namespace {

struct descrizioni {
  std::string linea;
  std::string treno;  // empty when the built-in train is not there yet
};

descrizioni incorporate() {
  piattaforma_memoria p;
  return {testo_righe(righe_linea(p)), testo_righe(righe_treno(p))};
}

// One compile into the memory folder; the compiled model is left in `m`.
void compila(piattaforma_memoria& p, modello& m, const descrizioni& d) {
  m = modello{};
  m.nome_linea = kNomeLinea;
  m.numero_treno = kNumeroTreno;
  p.file[nome_file(p, m.nome_linea, m.numero_treno, file_scenario::descrizione_linea)] = d.linea;
  if (!d.treno.empty()) {
    p.file[nome_file(p, m.nome_linea, m.numero_treno, file_scenario::descrizione_treno)] = d.treno;
  }
  const risultato_compilazione r = compila(p, identita_incorporata(), true);
  m = r.m;
  if (r.rapporto) throw std::runtime_error("the compile ended through the error report");
}

void misura_compilazione(benchmark::State& stato, const descrizioni& d) {
  if (d.linea.empty()) {
    stato.SkipWithError("the built-in line description is still empty");
    return;
  }
  piattaforma_memoria p;
  modello m;
  std::size_t byte = 0;
  for (auto _ : stato) {
    try {
      compila(p, m, d);
    } catch (const std::runtime_error&) {
      stato.SkipWithError("the compile ended through the error report");
      return;
    }
    byte = 0;
    for (const auto& [nome, contenuto] : p.file) byte += contenuto.size();
    benchmark::DoNotOptimize(byte);
  }
  stato.counters["byte"] = static_cast<double>(byte);
  stato.counters["codice_errore"] = m.codice_errore;
  stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations()) * static_cast<int64_t>(byte));
}

void misura_scrittura_grezza(benchmark::State& stato, const descrizioni& d) {
  if (d.linea.empty()) {
    stato.SkipWithError("the built-in line description is still empty");
    return;
  }
  piattaforma_memoria memoria;
  modello m;
  compila(memoria, m, d);
  const std::string immagini[] = {immagine_tracciato(m), immagine_voci(m), immagine_celle(m)};
  const auto cartella = std::filesystem::temp_directory_path() / "scenario_bench_scrittura";
  std::filesystem::create_directories(cartella);
  auto sistema = piattaforma_di_sistema(cartella.string());
  std::size_t byte = 0;
  for (auto _ : stato) {
    byte = 0;
    for (int f = 0; f < 3; ++f) {
      sistema->scrivi((cartella / ("immagine_" + std::to_string(f))).string(), immagini[f]);
      byte += immagini[f].size();
    }
  }
  std::filesystem::remove_all(cartella);
  stato.counters["byte"] = static_cast<double>(byte);
  stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations()) * static_cast<int64_t>(byte));
}

// The same compile with the three files written into a real temporary
// folder, to set beside the raw write of the same bytes.
void misura_compilazione_su_disco(benchmark::State& stato, const descrizioni& d) {
  const auto cartella = std::filesystem::temp_directory_path() / "scenario_bench_compilazione";
  std::filesystem::create_directories(cartella);
  auto sistema = piattaforma_di_sistema(cartella.string());
  modello m;
  for (auto _ : stato) {
    m = modello{};
    m.nome_linea = kNomeLinea;
    m.numero_treno = kNumeroTreno;
    sistema->scrivi(nome_file(*sistema, m.nome_linea, m.numero_treno, file_scenario::descrizione_linea), d.linea);
    if (!d.treno.empty()) {
      sistema->scrivi(nome_file(*sistema, m.nome_linea, m.numero_treno, file_scenario::descrizione_treno), d.treno);
    }
    m = compila(*sistema, identita_incorporata(), true).m;
  }
  std::filesystem::remove_all(cartella);
  stato.counters["codice_errore"] = m.codice_errore;
}

void BM_CompilaIncorporata(benchmark::State& s) { misura_compilazione(s, incorporate()); }
void BM_ScritturaGrezzaIncorporata(benchmark::State& s) { misura_scrittura_grezza(s, incorporate()); }

// The dense line at the built-in line's length, and at the longest length.
descrizioni densa(int32_t lunghezza) { return {linea_densa(lunghezza), treno_denso(lunghezza)}; }
void BM_CompilaDensa104km(benchmark::State& s) { misura_compilazione(s, densa(104300)); }
void BM_ScritturaGrezzaDensa104km(benchmark::State& s) { misura_scrittura_grezza(s, densa(104300)); }
void BM_CompilaDensa1000km(benchmark::State& s) { misura_compilazione(s, densa(1000000)); }
void BM_ScritturaGrezzaDensa1000km(benchmark::State& s) { misura_scrittura_grezza(s, densa(1000000)); }
void BM_CompilaDensa1000kmSuDisco(benchmark::State& s) { misura_compilazione_su_disco(s, densa(1000000)); }

BENCHMARK(BM_CompilaIncorporata)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScritturaGrezzaIncorporata)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompilaDensa104km)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScritturaGrezzaDensa104km)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompilaDensa1000km)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScritturaGrezzaDensa1000km)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompilaDensa1000kmSuDisco)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario

BENCHMARK_MAIN();
