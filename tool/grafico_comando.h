// The command `scenario grafico` (alias `chart`): the SVG chart of a
// scenario, or with --html its interactive view; `scenario vista` (alias
// `view`) is the view alone.
#ifndef TOOL_GRAFICO_COMANDO_H_
#define TOOL_GRAFICO_COMANDO_H_

#include <ostream>
#include <string>
#include <vector>

namespace scenario {

// Arguments after the command's name; `vista` true for `scenario vista`.
int comando_grafico(const std::vector<std::string>& a, std::ostream& out, std::ostream& err, bool vista = false);

}  // namespace scenario

#endif  // TOOL_GRAFICO_COMANDO_H_
