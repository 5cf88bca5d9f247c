// A long round-trip run of the decompiler, outside the suite: descriptions
// drawn from seeds are compiled; each that compiles clean is decompiled and
// must come back byte for byte. Every one that does not is written to the
// output folder (its two descriptions and the differences) for minimising.
//   giro_decompila corte|lunghe|variazioni FIRST LAST [FOLDER]
//   giro_decompila lunghe64|variazioni64 COUNT BASE [FOLDER]  (64-bit seeds from BASE)
//   giro_decompila file FIRST LAST FOLDER  (the pairs an earlier run wrote, checked again)
//   giro_decompila ingresso INPUT 0 FOLDER  (an undamaged input of the decompiler's fuzz target)
//   giro_decompila semi FIRST LAST FOLDER  (corte, writing the fuzz target's inputs of
//     the seeds that needed layered mountains or a signal under a station's marker)
// corte: the suite's short lines (1-6 km); lunghe: 6-285 km; variazioni: the
// built-in pair varied. The geometry is compiled and compared for one seed
// in four.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "common/identita.h"
#include "common/nomi.h"
#include "compiler/compila_testi.h"
#include "decompiler/decompila.h"
#include "platform/piattaforma_memoria.h"
#include "reader/decodifica.h"
#include "tests/descrizioni_casuali.h"
#include "tests/variazioni_incorporate.h"

namespace {

using namespace scenario;

void scrivi(const std::string& percorso, const std::string& testo) {
  std::ofstream f(percorso, std::ios::binary);
  f << testo;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "uso: giro_decompila corte|lunghe|variazioni[64] DA A|QUANTI BASE [CARTELLA]\n");
    return 2;
  }
  std::string modo = argv[1];
  const bool a64 = modo.size() > 2 && modo.substr(modo.size() - 2) == "64";
  if (a64) modo.resize(modo.size() - 2);
  const uint64_t da = std::strtoull(argv[2], nullptr, 10), a = std::strtoull(argv[3], nullptr, 10);
  const std::string cartella = argc > 4 ? argv[4] : ".";
  std::mt19937_64 semi(a);
  const uint64_t quanti = modo == "ingresso" ? 1 : a64 ? da : a - da + 1;
  int64_t puliti = 0, falliti = 0, scartati = 0;
  for (uint64_t k = 0; k < quanti; ++k) {
    const uint64_t seme = a64 ? semi() : da + k;
    prova::descrizioni_casuali d;
    std::string scelte;
    bool geometria = seme % 4 == 0;
    if (modo == "ingresso") {
      // The fuzz target's reading of its input: the first byte chooses the
      // geometry, the rest makes the generator's choices.
      std::ifstream f(argv[2], std::ios::binary);
      const std::string b(std::istreambuf_iterator<char>(f), {});
      if (b.empty()) return 2;
      geometria = (b[0] & 6) == 6;
      d = prova::genera_descrizioni(
          prova::caso_da_byte(reinterpret_cast<const uint8_t*>(b.data()) + 1, b.size() - 1));
    } else if (modo == "file") {
      // Seeds FIRST to LAST of an earlier run, from FOLDER's SEED_linea.txt and SEED_treno.txt.
      auto leggi = [&](const char* cosa) {
        std::ifstream f(cartella + "/" + std::to_string(seme) + cosa, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
      };
      d.linea = leggi("_linea.txt");
      d.treno = leggi("_treno.txt");
      if (d.linea.empty()) continue;
    } else if (modo == "semi") {
      d = prova::genera_descrizioni(prova::caso_registrato(prova::caso_da_seme(seme), &scelte));
    } else if (modo == "variazioni") {
      d = prova::varia_incorporate(prova::caso_da_seme(seme));
    } else if (modo == "lunghe") {
      d = prova::genera_descrizioni(prova::caso_da_seme(seme), {6000, 285000});
    } else {
      d = prova::genera_descrizioni(prova::caso_da_seme(seme));
    }
    piattaforma_memoria m;
    const esito_compilazione e = compila_testi(m, identita_incorporata(), d.linea, d.treno, geometria);
    if (e.stato != kStatoPulito) {
      if (std::getenv("GIRO_SCARTI")) {
        for (const guasto& g : e.m.guasti) std::printf("scartato %llu: codice %d a %d %s\n",
                                                       static_cast<unsigned long long>(seme), g.codice, g.posizione,
                                                       g.dettaglio.c_str());
      }
      ++scartati;
      continue;
    }
    ++puliti;
    file_scenario_binari f;
    f.voci = m.leggi(nome_file(m, kNomeLinea, kNumeroTreno, file_scenario::voci));
    f.celle = m.leggi(nome_file(m, kNomeLinea, kNumeroTreno, file_scenario::celle));
    if (geometria) f.geometria = m.leggi(nome_file(m, kNomeLinea, kNumeroTreno, file_scenario::geometria_linea));
    f.con_geometria = geometria;
    std::string esito;
    try {
      const esito_decompilazione r =
          decompila_e_verifica(f, ricompilatore_in_memoria(decodifica_voci(f.voci), {"linea.txt", "treno.txt"}));
      if (r.identico && modo == "semi") {
        // A seed for the fuzz target when it needed layered mountains or
        // found a signal under a station's marker.
        std::string genere;
        for (const std::string& nota : r.testi.note) {
          if (nota.find("strati") != std::string::npos) genere = "montagne_";
          if (genere.empty() && nota.find("copre un segnale") != std::string::npos) genere = "segnale_";
        }
        if (!genere.empty()) {
          scrivi(cartella + "/ritorno_" + genere + std::to_string(seme) + ".bin", std::string(1, '\0') + scelte);
        }
      }
      if (r.identico) continue;
      esito = "perche: " + r.perche + "\n";
      for (const differenza& x : r.differenze) {
        esito += std::string(nome_tipo_file(x.file)) + " " + std::to_string(x.indice) + "-" + std::to_string(x.fino) +
                 " " + x.campo + ": " + x.originale + " / " + x.ricompilato + "\n";
      }
      for (const std::string& nota : r.testi.note) esito += "nota: " + nota + "\n";
      scrivi(cartella + "/" + std::to_string(seme) + "_dlinea.txt", r.testi.linea);
      scrivi(cartella + "/" + std::to_string(seme) + "_dtreno.txt", r.testi.treno);
    } catch (const std::exception& x) {
      esito = std::string("eccezione: ") + x.what() + "\n";
    }
    ++falliti;
    scrivi(cartella + "/" + std::to_string(seme) + "_linea.txt", d.linea);
    scrivi(cartella + "/" + std::to_string(seme) + "_treno.txt", d.treno);
    scrivi(cartella + "/" + std::to_string(seme) + "_esito.txt", esito);
    std::printf("seme %llu: non torna\n%s", static_cast<unsigned long long>(seme), esito.substr(0, 600).c_str());
    std::fflush(stdout);
  }
  std::printf("%s: %llu casi, %lld puliti, %lld scartati, %lld non tornano\n", argv[1],
              static_cast<unsigned long long>(quanti), static_cast<long long>(puliti), static_cast<long long>(scartati),
              static_cast<long long>(falliti));
  return falliti == 0 ? 0 : 1;
}
