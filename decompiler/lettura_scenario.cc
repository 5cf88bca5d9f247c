// The files of a compiled scenario decoded and checked against what the
// compiler writes.
#include "decompiler/ricostruzione.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <utility>

#include "compiler/formato.h"
#include "compiler/formato_voci.h"
#include "compiler/voci.h"

namespace scenario {
namespace {

using decompilazione::n;

// The cell count the compiler makes for a line length.
int64_t celle_per_lunghezza(int32_t lunghezza) {
  return decompilazione::tondo((static_cast<double>(lunghezza) + kMargineTracciato) / 50.0) + 1;
}

bool tipo_scritto(uint8_t t) {
  switch (t) {
    case cella_libera:
    case cella_segnale:
    case cella_fine_rallentamento:
    case cella_inizio_rallentamento:
    case cella_avviso_rallentamento:
    case cella_preavviso:
    case cella_indicatore_v_max:
    case cella_stazione:
    case cella_montagna:
    case cella_abbattimento:
    case cella_abbattimento_zero:
    case cella_cartello: return true;
    default: return false;
  }
}

// The decoder's tables, with its own error named after the file.
template <typename F>
auto decodifica_di(tipo_file t, F f) -> decltype(f()) {
  try {
    return f();
  } catch (const errore_scenario&) {
    throw;
  } catch (const errore_decodifica& e) {
    throw errore_scenario(t, e.offset(), e.motivo());
  }
}

}  // namespace

scenario_binario decompilazione::decodifica_senza_controlli(const file_scenario_binari& f) {
  scenario_binario s;
  s.voci = decodifica_di(tipo_file::voci, [&] { return decodifica_voci(f.voci); });
  s.celle = decodifica_di(tipo_file::celle, [&] { return decodifica_celle(f.celle); });
  if (f.con_geometria) {
    // Checked whole in one pass, as the decoder checks it, and kept in its
    // file.
    std::shared_ptr<const byte_a_pezzi> b = f.geometria_a_pezzi ? f.geometria_a_pezzi : byte_in_memoria(f.geometria);
    s.piano = decodifica_di(tipo_file::geometria, [&] { return piano_a_pezzi(std::move(b)); });
  }
  return s;
}

scenario_binario leggi_scenario(const file_scenario_binari& f) {
  scenario_binario s = decompilazione::decodifica_senza_controlli(f);
  const int32_t lunghezza = s.voci[voce_lunghezza_convoglio].fine;
  const std::size_t offset_84 = offset_voci(s.voci)[voce_lunghezza_convoglio] + formato::voce::fine;
  if (lunghezza < 0 || lunghezza > kLunghezzaMassima) {
    throw errore_scenario(tipo_file::voci, offset_84,
                          "la lunghezza della linea (voce 84, fine) è " + n(lunghezza) +
                              " m, fuori da 0-" + n(kLunghezzaMassima) + ": non viene dal compilatore");
  }
  const int64_t celle = celle_per_lunghezza(lunghezza);
  if (static_cast<int64_t>(s.celle.size()) != celle) {
    throw errore_scenario(tipo_file::celle, static_cast<std::size_t>(std::min<int64_t>(celle, s.celle.size())) * 15,
                          n(static_cast<int64_t>(s.celle.size())) + " celle, ma la lunghezza della linea (" +
                              n(lunghezza) + " m, voce 84) ne dà " + n(celle));
  }
  for (std::size_t i = 0; i < s.celle.size(); ++i) {
    if (!tipo_scritto(s.celle[i].tipo)) {
      throw errore_scenario(tipo_file::celle, i * 15,
                            "la cella " + n(static_cast<int64_t>(i)) + " ha il tipo " + n(s.celle[i].tipo) +
                                ", che il compilatore non scrive");
    }
  }
  if (s.piano) {
    const int64_t metri = int64_t{lunghezza} + kMargineTracciato + 1;
    if (s.piano->metri() != metri) {
      throw errore_scenario(tipo_file::geometria, s.piano->byte().byte(),
                            n(s.piano->metri()) + " valori per coordinata, ma la lunghezza "
                            "della linea (" + n(lunghezza) + " m, voce 84) ne dà " + n(metri));
    }
  }
  return s;
}

}  // namespace scenario
