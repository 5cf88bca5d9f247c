// A small clean pair of descriptions, for the tests that make one slip on
// one of its lines, and lines joined as a description file holds them.
#ifndef TESTS_COPPIA_PROVA_H_
#define TESTS_COPPIA_PROVA_H_

#include <string>
#include <vector>

namespace scenario::prova {

// The lines, each ended by CR LF.
inline std::string testo_crlf(const std::vector<std::string>& righe) {
  std::string t;
  for (const std::string& r : righe) t += r + "\r\n";
  return t;
}

inline const std::vector<std::string> kLineaPiccola = {"[generale]",
                                                       "lunghezza percorso, 10000",
                                                       "[curve]",
                                                       "curvad3, 2000, 800",
                                                       "[pendenze]",
                                                       "pendenza, 0, 0",
                                                       "[indicazioni]",
                                                       "cartello_indicatore, 2500, (PL km )(17+500)",
                                                       "[fine]"};
inline const std::vector<std::string> kTrenoPiccolo = {
    "[generale]",
    "numero vetture, 4",
    "orologio, 8 0 0",
    "velocita, 0, 30",
    "velocita, 1000, 120",
    "stazione, 0, 4, 600, 1, 0, 0, 4,1,0, 2,1,1, 1, 8, 1, 0, ALBA",
    "stazione, 8000, 4, 600, 1, 0, 0, 1,1,0, 2,1,1, 0, 8, 9, 0, BORGO",
    "segnale, 3000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0",
    "rallentamento, 6000, 60, 500, 0, 1, 0",
    "[fine]"};

}  // namespace scenario::prova

#endif  // TESTS_COPPIA_PROVA_H_
