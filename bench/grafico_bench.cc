// The chart of the built-in line: drawing alone (from the compiled tables),
// the curve recovery inside it, and `scenario grafico` as a whole (the
// built-in descriptions compiled in memory, then drawn).
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "platform/piattaforma_memoria.h"
#include "common/righe.h"
#include "texts/testi.h"
#include "tool/comandi.h"
#include "compiler/compila_testi.h"
#include "reader/curve.h"
#include "chart/grafico.h"

namespace scenario {
namespace {

// The chart's tables read the model's plan, which therefore stays.
dati_grafico incorporato() {
  static const esito_compilazione e = [] {
    piattaforma_memoria p;
    return compila_testi(p, identita_incorporata(), testo_righe(righe_linea(p)), testo_righe(righe_treno(p)), true);
  }();
  return dati_dal_modello(e.m);
}

void BM_GraficoDisegnoIncorporato(benchmark::State& stato) {
  const dati_grafico d = incorporato();
  std::size_t byte = 0;
  for (auto _ : stato) {
    const grafico g = disegna_grafico(d, {});
    byte = g.svg.size();
    benchmark::DoNotOptimize(g.svg.data());
  }
  stato.counters["byte_svg"] = static_cast<double>(byte);
}

void BM_GraficoCurveIncorporate(benchmark::State& stato) {
  const dati_grafico d = incorporato();
  for (auto _ : stato) {
    const auto curve = curve_dal_piano(*d.piano);
    benchmark::DoNotOptimize(curve.data());
  }
}

void BM_GraficoComandoIncorporato(benchmark::State& stato) {
  for (auto _ : stato) {
    std::ostringstream out, err;
    const int s = strumento_scenario({"grafico"}, out, err);
    if (s != 0) stato.SkipWithError("scenario grafico non riuscito");
    benchmark::DoNotOptimize(out.str().data());
  }
}

BENCHMARK(BM_GraficoDisegnoIncorporato)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraficoCurveIncorporate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraficoComandoIncorporato)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario
