// The authors' tool on a long, dense scenario: `scenario compila` as a whole
// (the two descriptions read from disk, compiled, the three files written to
// disk) against the raw write of the same output bytes, and the decoding of
// the files it wrote.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "compiler/file_uscita.h"
#include "platform/piattaforma.h"
#include "platform/piattaforma_memoria.h"
#include "common/nomi.h"
#include "tool/compila.h"
#include "tool/decodifica.h"

namespace scenario {
namespace {

constexpr int32_t kLunghezza = 1000000;

// Records on the 50 m grid, kept apart by their position within each
// kilometre so that no two objects want the same cell: speed signs at +700,
// text signs at +250, signals at +400 of every other kilometre, stations at
// +50000 and slowdowns at +20300 of every 100 km.
std::string linea_densa() {
  std::string t = "[generale]\r\nlunghezza percorso,    " + std::to_string(kLunghezza) +
                  "\r\nprogressiva chilometrica uno,    0,    100800,    1\r\nsfondo uno,    1\r\n"
                  "ripetizione segnali 4 codici,    0    ,0\r\n[curve]\r\n";
  static const char* const classi[] = {"curvad3", "curvas3", "curvad4", "curvas4", "curvad5", "curvas2"};
  for (int32_t p = 500, k = 0; p + 300 < 999000; p += 500, ++k) {
    t += std::string(classi[k % 6]) + ",  " + std::to_string(p) + ",  300\r\n";
  }
  t += "[pendenze]\r\n";
  for (int32_t p = 0, k = 0; p < kLunghezza; p += 100, ++k) {
    t += "pendenza,  " + std::to_string(p) + ",   " + std::to_string(k % 19 - 9) + "\r\n";
  }
  t += "[montagne]\r\n";
  for (int32_t k = 0; k < 80; ++k) {
    const int32_t inizio = 1050 + k * 12000;
    t += "montagna,   " + std::to_string(inizio) + ",  " + std::to_string(inizio + 2000) + ",  11\r\n";
  }
  t += "[cartelli]\r\n";
  for (int32_t p = 700; p < kLunghezza; p += 1000) {
    t += "indicatori_vmax,  " + std::to_string(p) + ",  90,  110,  110,  0,  ,  ,  ,  0\r\n";
  }
  t += "[indicazioni]\r\n";
  for (int32_t k = 0; k < 60; ++k) {
    t += "cartello_indicatore,  " + std::to_string(250 + k * 16000) + ",   (PL km )(" + std::to_string(k) +
         "+200)\r\n";
  }
  return t + "[fine]\r\n";
}

std::string treno_denso() {
  std::string t =
      "[generale]\r\nnumero vetture,    5\r\npercentuale massa frenata,    120\r\nsabbia,    0\r\n"
      "orologio,    6  39  40\r\n[aderenze]\r\naderenza,       0,   100\r\n[vel_limite]\r\n";
  for (int32_t p = 0, k = 0; p < kLunghezza; p += 1000, ++k) {
    t += "velocita,  " + std::to_string(p) + ",  " + std::to_string(60 + 5 * (k % 15)) + "\r\n";
  }
  t += "[stazioni]\r\n";
  for (int32_t k = 0; k < 10; ++k) {
    t += "stazione,  " + std::to_string(50000 + k * 100000) + ",  4,  600,  0, 0, 0,  0,0,0,  0,0,0,  0,  7, " +
         std::to_string(k) + ", 0, STAZIONE " + std::to_string(k) + "\r\n";
  }
  t += "[rallentamenti]\r\n";
  for (int32_t k = 0; k < 10; ++k) {
    t += "rallentamento,  " + std::to_string(20300 + k * 100000) + ",  60,  600,  0,  1,  0\r\n";
  }
  t += "[segnali]\r\n";
  for (int32_t p = 400; p < kLunghezza; p += 2000) {
    t += "segnale,  " + std::to_string(p) + ",   2, 2, 3,  0, 0,    0,  0,0,0, 230\r\n";
  }
  return t + "[fine]\r\n";
}

// A temporary folder holding the two descriptions, removed at the end.
struct banco {
  banco() : cartella(std::filesystem::temp_directory_path() / "scenario_bench_strumento") {
    std::filesystem::create_directories(cartella);
    sistema = piattaforma_di_sistema(cartella.string());
    r.linea = (cartella / "linea.txt").string();
    r.treno = (cartella / "treno.txt").string();
    r.cartella = (cartella / "uscita").string();
    std::filesystem::create_directories(r.cartella);
    sistema->scrivi(r.linea, linea_densa());
    sistema->scrivi(r.treno, treno_denso());
  }
  ~banco() { std::filesystem::remove_all(cartella); }

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
  piattaforma_memoria memoria;
  const esito_compilazione e =
      compila_testi(memoria, b.r.id, b.sistema->leggi(b.r.linea), b.sistema->leggi(b.r.treno), true);
  const std::string immagini[] = {immagine_tracciato(e.m), immagine_voci(e.m), immagine_celle(e.m)};
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
  piattaforma_memoria memoria;
  const esito_compilazione e =
      compila_testi(memoria, b.r.id, b.sistema->leggi(b.r.linea), b.sistema->leggi(b.r.treno), true);
  const std::string immagine = immagine_tracciato(e.m);
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
