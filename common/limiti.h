// The largest description that the readers take. The densest line of the
// benchmarks, 1,000,000 m with every kind of record as often as the tables
// hold, is about 360 KB; a gradient record on every metre of it would be
// about 25 MB. A larger file is refused before it is read whole.
#ifndef COMMON_LIMITI_H_
#define COMMON_LIMITI_H_

#include <cstddef>

namespace scenario {

inline constexpr std::size_t kMassimoDescrizione = std::size_t{64} << 20;  // 64 MiB

}  // namespace scenario

#endif  // COMMON_LIMITI_H_
