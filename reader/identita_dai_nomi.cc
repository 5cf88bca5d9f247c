#include "reader/identita_dai_nomi.h"

#include "common/nomi.h"

namespace scenario {

identita_da_nome identita_dal_nome(const std::string& percorso, tipo_file t) {
  // The last part of the path, its bytes as given (a path object would turn
  // them into the system's code page on Windows). A backslash counts as a
  // separator on every system, as it does on Windows.
  const std::size_t barra = percorso.find_last_of("/\\");
  const std::string nome = barra == std::string::npos ? percorso : percorso.substr(barra + 1);
  const std::string_view suffisso = scenario::suffisso(t == tipo_file::geometria ? file_scenario::geometria_linea
                                                      : t == tipo_file::voci     ? file_scenario::voci
                                                                                 : file_scenario::celle);
  if (nome.size() <= suffisso.size() || nome.compare(nome.size() - suffisso.size(), suffisso.size(), suffisso) != 0) {
    return {};
  }
  const std::string radice = nome.substr(0, nome.size() - suffisso.size());
  if (t == tipo_file::geometria) return {radice, std::nullopt};
  const std::size_t sotto = radice.rfind('_');
  if (sotto == std::string::npos || sotto == 0 || sotto + 1 == radice.size()) return {};
  return {radice.substr(0, sotto), radice.substr(sotto + 1)};
}

}  // namespace scenario
