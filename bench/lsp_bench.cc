// The language server on the dense 1,000 km pair: the time from a change of
// the open train description to its published diagnostics, as an editor
// sees it (the line description on disk, found by the pair rule, read and
// compiled with the train on every change). With the default pause after a
// change and with none.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/linea_densa.h"
#include "lsp/protocollo.h"
#include "tests/cliente_lsp.h"

namespace scenario {
namespace {

void BM_LspDiagnosticheDensa1000km(benchmark::State& stato) {
  const auto cartella = std::filesystem::temp_directory_path() / "scenario_bench_lsp";
  std::filesystem::create_directories(cartella);
  std::ofstream(cartella / "linea.txt", std::ios::binary) << linea_densa(1000000);
  const std::string uri = lsp::uri_da_percorso((cartella / "treno.txt").generic_string());
  const std::string treno = treno_denso(1000000);

  prova::cliente_lsp c(lsp::opzioni_server{static_cast<int>(stato.range(0))});
  c.inizializza();
  c.notifica("textDocument/didOpen",
             {{"textDocument", {{"uri", uri}, {"languageId", "scenario"}, {"version", 1}, {"text", treno}}}});
  if (!c.diagnostiche(uri)) stato.SkipWithError("no diagnostics");
  int versione = 1;
  for (auto _ : stato) {
    ++versione;
    // One character typed in the middle of the text.
    const int riga = 20000 + versione % 2;
    const auto inizio = std::chrono::steady_clock::now();
    c.notifica("textDocument/didChange",
               {{"textDocument", {{"uri", uri}, {"version", versione}}},
                {"contentChanges",
                 {{{"range", {{"start", {{"line", riga}, {"character", 0}}}, {"end", {{"line", riga}, {"character", 0}}}}},
                   {"text", " "}}}}});
    const std::optional<prova::json> d = c.attendi([&](const prova::json& m) {
      return m.value("method", "") == "textDocument/publishDiagnostics" && m["params"]["uri"] == uri &&
             m["params"].value("version", 0) == versione;
    });
    const auto fine = std::chrono::steady_clock::now();
    if (!d) stato.SkipWithError("no diagnostics");
    stato.SetIterationTime(std::chrono::duration<double>(fine - inizio).count());
  }
  c.chiudi();
  std::filesystem::remove_all(cartella);
}
BENCHMARK(BM_LspDiagnosticheDensa1000km)
    ->Arg(30)
    ->Arg(0)
    ->ArgName("ritardo_ms")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario
