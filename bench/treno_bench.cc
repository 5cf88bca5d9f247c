// What the train half and the track completion cost on the longest track
// the line allows, with a dense train: a speed and an adhesion record every
// 500 m, a signal every 1000 m and a slow slowdown every 5000 m (each walked
// by the completion), against the same track with the built-in train's
// density.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "compiler/completamento.h"
#include "compiler/esecuzione.h"
#include "compiler/lettori.h"
#include "compiler/modello.h"
#include "platform/piattaforma_memoria.h"
#include "common/nomi.h"
#include "tests/modello_prova.h"

namespace scenario {
namespace {

constexpr int32_t kLunghezza = 1000000;

std::string treno_denso(int32_t lunghezza) {
  std::string t = "[generale]\r\nnumero vetture,    5\r\norologio,    6  39  40\r\n";
  for (int32_t p = 0; p < lunghezza; p += 500) {
    t += "velocita, " + std::to_string(p) + ", " + std::to_string(30 + (p / 500) % 20 * 5) + "\r\n";
    t += "aderenza, " + std::to_string(p) + ", 100\r\n";
  }
  for (int32_t p = 6000; p < lunghezza; p += 1000) {
    if (p % 5000 == 0) continue;  // slowdowns start there
    t += "segnale, " + std::to_string(p + 400) + ", 1, 3, 1, 0, 0, 0, 0, 0, 0, 230\r\n";
  }
  for (int32_t p = 10000; p < lunghezza - 5000; p += 5000) {
    t += "rallentamento, " + std::to_string(p) + ", 60, 1000, 0, 1, 0\r\n";
  }
  return t + "[fine]\r\n";
}

// The model as the line reader leaves it for a line of that length.
void prepara(modello& m, int32_t lunghezza) {
  m = prova::modello_dimensionato(lunghezza);
  m.nome_linea = "Linea";
  m.numero_treno = "1";
}

void BM_LetturaTrenoDenso(benchmark::State& stato) {
  const std::string testo = treno_denso(kLunghezza);
  piattaforma_memoria p;
  modello m;
  for (auto _ : stato) {
    stato.PauseTiming();
    prepara(m, kLunghezza);
    p.file[nome_file(p, m.nome_linea, m.numero_treno, file_scenario::descrizione_treno)] = testo;
    stato.ResumeTiming();
    leggi_treno(p, m, consegna_linea{});
    benchmark::DoNotOptimize(m.celle.data());
  }
  if (m.codice_errore != 0) stato.SkipWithError("the dense train recorded a fault");
  stato.counters["byte"] = static_cast<double>(testo.size());
  stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations()) * static_cast<int64_t>(testo.size()));
}
BENCHMARK(BM_LetturaTrenoDenso)->Unit(benchmark::kMillisecond);

void BM_CompletamentoDenso(benchmark::State& stato) {
  piattaforma_memoria p;
  modello letto;
  prepara(letto, kLunghezza);
  p.file[nome_file(p, letto.nome_linea, letto.numero_treno, file_scenario::descrizione_treno)] =
      treno_denso(kLunghezza);
  leggi_treno(p, letto, consegna_linea{});
  modello m;
  for (auto _ : stato) {
    stato.PauseTiming();
    m = letto;
    stato.ResumeTiming();
    completa_tracciato(m);
    benchmark::DoNotOptimize(m.celle.data());
  }
  if (m.codice_errore != 0) stato.SkipWithError("the completion recorded a fault");
  stato.counters["celle"] = static_cast<double>(m.celle.size());
}
BENCHMARK(BM_CompletamentoDenso)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario
