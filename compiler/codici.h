// The two scenario codes, character sums over the first 25 characters of the
// lower-cased train number and line name followed by a fixed pad.
#ifndef COMPILER_CODICI_H_
#define COMPILER_CODICI_H_

#include <cstdint>

#include "compiler/modello.h"
#include "platform/piattaforma.h"

namespace scenario {

inline constexpr const char* kImbottitura = "kkttmmrrvvzzppggsshhllnnbb";

// The plain code: the sum of the character codes; leaves the identity string
// in m.riga.
int16_t codice_gara_og(piattaforma& p, modello& m);
// The weighted code: the sum of i times the i-th character code.
int32_t codice_gara_st(piattaforma& p, modello& m);

}  // namespace scenario

#endif  // COMPILER_CODICI_H_
