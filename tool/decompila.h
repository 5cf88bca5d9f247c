// The command `scenario decompila` (alias `decompile`), for the tool's
// dispatcher.
#ifndef TOOL_DECOMPILA_H_
#define TOOL_DECOMPILA_H_

#include <ostream>
#include <string>
#include <vector>

namespace scenario {

// Arguments after the command's name.
int comando_decompila(const std::vector<std::string>& a, std::ostream& out, std::ostream& err);
extern const char* const kUsoDecompila;

}  // namespace scenario

#endif  // TOOL_DECOMPILA_H_
