// The dense scenario of the benchmarks: a line with every kind of line
// record, as many as the tables hold, and a train with records all along it,
// over any length up to the longest line. The one generator of both, for the
// in-process benchmarks and for the descriptions that bench/misura.sh
// compiles as whole processes.
#ifndef BENCH_LINEA_DENSA_H_
#define BENCH_LINEA_DENSA_H_

#include <algorithm>
#include <cstdint>
#include <string>

namespace scenario {

// A line of `lunghezza` metres with dense records: a curve every 500 m, a
// gradient every 100 m, a maximum-speed sign every 1000 m, the most mountain
// spans that the tables hold, and as many text signs as leave room for the
// dense train's stations.
inline std::string linea_densa(int32_t lunghezza) {
  std::string t = "[generale]\r\nlunghezza percorso,    " + std::to_string(lunghezza) +
                  "\r\nprogressiva chilometrica uno,    0,    100800,    1\r\n"
                  "sfondo uno,    1\r\nripetizione segnali 4 codici,    0    ,0\r\n[curve]\r\n";
  static const char* const classi[] = {"curvad3", "curvas3", "curvad4", "curvas4", "curvad5", "curvas2"};
  // The plan cursor must stay within metre 1000000 while curves are applied.
  for (int32_t p = 500, k = 0; p + 300 < std::min(lunghezza, 999000); p += 500, ++k) {
    t += std::string(classi[k % 6]) + ",  " + std::to_string(p) + ",  300\r\n";
  }
  t += "[pendenze]\r\n";
  for (int32_t p = 0, k = 0; p < lunghezza; p += 100, ++k) {
    t += "pendenza,  " + std::to_string(p) + ",   " + std::to_string(k % 19 - 9) + "\r\n";
  }
  t += "[montagne]\r\n";
  for (int32_t k = 0; k < 80; ++k) {
    const int32_t inizio = 1050 + k * (lunghezza / 81);
    t += "montagna,   " + std::to_string(inizio) + ",  " + std::to_string(inizio + 2000) + ",  11\r\n";
  }
  t += "[cartelli]\r\n";
  for (int32_t p = 700; p < lunghezza; p += 1000) {
    t += "indicatori_vmax,  " + std::to_string(p) + ",  90,  110,  110,  0,  ,  ,  ,  0\r\n";
  }
  t += "[indicazioni]\r\n";
  // Entries 80 down to 13: the train's ten stations take 1 to 10, and the
  // entry after the last station must stay below the last sign's.
  for (int32_t k = 0; k < 68; ++k) {
    // Kept at 250 m past a kilometre, clear of the speed signs.
    t += "cartello_indicatore,  " + std::to_string(250 + k * (lunghezza / 81) / 1000 * 1000) + ",   (PL km )(" +
         std::to_string(k) + "+200)\r\n";
  }
  return t + "[fine]\r\n";
}

// A train for that line, its records on the 50 m grid and kept apart from
// the line's by their place within each kilometre: a speed limit every
// 1000 m, a signal at +400 of every other kilometre, and a station at +50000
// and a slowdown at +20300 of every 100 km.
inline std::string treno_denso(int32_t lunghezza) {
  std::string t =
      "[generale]\r\nnumero vetture,    5\r\npercentuale massa frenata,    120\r\nsabbia,    0\r\n"
      "orologio,    6  39  40\r\n[aderenze]\r\naderenza,       0,   100\r\n[vel_limite]\r\n";
  for (int32_t p = 0, k = 0; p < lunghezza; p += 1000, ++k) {
    t += "velocita,  " + std::to_string(p) + ",  " + std::to_string(60 + 5 * (k % 15)) + "\r\n";
  }
  t += "[stazioni]\r\n";
  for (int32_t k = 0; 50000 + k * 100000 < lunghezza; ++k) {
    t += "stazione,  " + std::to_string(50000 + k * 100000) + ",  4,  600,  0, 0, 0,  0,0,0,  0,0,0,  0,  7, " +
         std::to_string(k) + ", 0, STAZIONE " + std::to_string(k) + "\r\n";
  }
  t += "[rallentamenti]\r\n";
  for (int32_t k = 0; 20300 + k * 100000 < lunghezza; ++k) {
    t += "rallentamento,  " + std::to_string(20300 + k * 100000) + ",  60,  600,  0,  1,  0\r\n";
  }
  t += "[segnali]\r\n";
  for (int32_t p = 400; p < lunghezza; p += 2000) {
    t += "segnale,  " + std::to_string(p) + ",   2, 2, 3,  0, 0,    0,  0,0,0, 230\r\n";
  }
  return t + "[fine]\r\n";
}

}  // namespace scenario

#endif  // BENCH_LINEA_DENSA_H_
