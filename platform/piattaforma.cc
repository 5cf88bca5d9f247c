#include "platform/piattaforma.h"

#include <utility>

namespace scenario {

errore_sistema::errore_sistema(std::string file, int numero, std::string descrizione)
    : std::runtime_error("errore " + std::to_string(numero) + " (" + descrizione + "): " + file),
      file_(std::move(file)),
      numero_(numero),
      descrizione_(std::move(descrizione)) {}

void piattaforma::scrivi_a_pezzi(const std::string& nome, const std::function<std::string_view()>& prossimo) {
  std::string tutto;
  for (std::string_view pezzo = prossimo(); !pezzo.empty(); pezzo = prossimo()) tutto += pezzo;
  scrivi(nome, tutto);
}

}  // namespace scenario
