// What every fuzz target runs: the two descriptions put into a memory folder
// and the whole compiler driver on them, with the checks that must hold
// whatever the descriptions held. A failed check aborts, so libFuzzer keeps
// the input as a crash.
#ifndef FUZZ_COMPILA_FUZZ_H_
#define FUZZ_COMPILA_FUZZ_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace scenario::fuzz {

// The separator between the line and the train description in the input of
// the target that varies both; without it the whole input is the line
// description and the train description is missing.
inline constexpr std::string_view kSeparatore = "\n==treno==\n";

// The built-in descriptions, as the program writes them.
const std::string& linea_incorporata();
const std::string& treno_incorporato();

// Compiles the descriptions given (a missing one is not put into the folder)
// through memorizza_percorso and checks the outcome: either the run ended
// through the error report with no binary file written, or it ended cleanly
// with the three files of the sizes the model gives. Returns true for a clean
// compile.
bool compila_e_verifica(const std::optional<std::string_view>& linea,
                        const std::optional<std::string_view>& treno);

}  // namespace scenario::fuzz

#endif  // FUZZ_COMPILA_FUZZ_H_
