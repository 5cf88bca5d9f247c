// The dense line of the benchmarks: every kind of line record, as many as
// the tables hold, over any length up to the longest line.
#ifndef BENCH_LINEA_DENSA_H_
#define BENCH_LINEA_DENSA_H_

#include <algorithm>
#include <cstdint>
#include <string>

namespace scenario {

// A line of `lunghezza` metres with dense records: a curve every 500 m, a
// gradient every 100 m, a maximum-speed sign every 1000 m, and the most text
// signs and mountain spans that the tables hold.
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
  for (int32_t k = 0; k < 80; ++k) {
    // Kept at 250 m past a kilometre, clear of the speed signs.
    t += "cartello_indicatore,  " + std::to_string(250 + k * (lunghezza / 81) / 1000 * 1000) + ",   (PL km )(" +
         std::to_string(k) + "+200)\r\n";
  }
  return t + "[fine]\r\n";
}

}  // namespace scenario

#endif  // BENCH_LINEA_DENSA_H_
