// "scenario lsp": the language server on the process's own standard input
// and output, for editors.
#ifndef TOOL_SERVIZIO_H_
#define TOOL_SERVIZIO_H_

#include <ostream>
#include <string>
#include <vector>

namespace scenario {

int comando_lsp(const std::vector<std::string>& a, std::ostream& out, std::ostream& err);

}  // namespace scenario

#endif  // TOOL_SERVIZIO_H_
