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

#include "compiler/modello.h"

namespace scenario::fuzz {

// The separator between the line and the train description in the input of
// the target that varies both; without it the whole input is the line
// description and the train description is missing.
// Ends the run on a broken check, naming it, so that libFuzzer keeps the
// input that broke it.
[[noreturn]] void violato(const char* cosa, const char* file, int riga);

#define FALLISCI(cosa) ::scenario::fuzz::violato(cosa, __FILE__, __LINE__)
#define VERIFICA(c) ((c) ? (void)0 : FALLISCI(#c))

inline constexpr std::string_view kSeparatore = "\n==treno==\n";

// The built-in descriptions, as the program writes them.
const std::string& linea_incorporata();
const std::string& treno_incorporato();
// A line of 6000 m with a record of each section: the line under the train
// target, so that its inputs pay for a short track only.
std::string_view linea_breve();

// The longest line that the targets compile: the track, and more still the
// plan, cost time in proportion to the length, while their code is the same
// for every metre. A longer line is left out, so that no input teaches the
// fuzzer that a long line is worth keeping.
inline constexpr int32_t kLunghezzaMassima = 10000;
// The plan adds 7000 m beyond the line and much work for each metre.
inline constexpr int32_t kLunghezzaPianoMassima = 3000;

// True when no length that the line description declares (as the reader
// finds it: a field holding "lunghezza" and "percorso", then a number)
// exceeds `massimo`.
bool linea_corta(std::string_view linea, int32_t massimo = kLunghezzaMassima);

// The built-in line with its length cut to kLunghezzaMassima, a seed.
std::string linea_incorporata_corta();

// Compiles the descriptions given (a missing one is not put into the folder)
// through memorizza_percorso, with the line geometry only when `geometria`
// is true, and checks the outcome: either the run ended through the error
// report with no binary file written, or it ended cleanly with the files of
// the sizes the model gives and no other. Returns the model when the compile
// was clean.
std::optional<modello> compila_e_verifica(const std::optional<std::string_view>& linea,
                                          const std::optional<std::string_view>& treno, bool geometria);

}  // namespace scenario::fuzz

#endif  // FUZZ_COMPILA_FUZZ_H_
