#include "compiler/modello.h"

namespace scenario {

void pulisci_voci(modello& m) { m.voci.fill(voce{}); }

const char* nome_tipo_cella(uint8_t tipo) {
  switch (tipo) {
    case cella_libera: return "cella_libera";
    case cella_segnale: return "cella_segnale";
    case cella_fine_rallentamento: return "cella_fine_rallentamento";
    case cella_inizio_rallentamento: return "cella_inizio_rallentamento";
    case cella_avviso_rallentamento: return "cella_avviso_rallentamento";
    case cella_preavviso: return "cella_preavviso";
    case cella_indicatore_v_max: return "cella_indicatore_v_max";
    case cella_stazione: return "cella_stazione";
    case cella_montagna: return "cella_montagna";
    case cella_abbattimento: return "cella_abbattimento";
    case cella_abbattimento_zero: return "cella_abbattimento_zero";
    case cella_cartello: return "cella_cartello";
    default: return "";
  }
}

}  // namespace scenario
