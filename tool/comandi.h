// The tool `scenario` as a function of its arguments and its two output
// streams, so that it runs the same from main and from the tests.
#ifndef TOOL_COMANDI_H_
#define TOOL_COMANDI_H_

#include <ostream>
#include <string>
#include <vector>

namespace scenario {

// `argomenti` without the program's name. Returns the exit status: 0 clean,
// 1 faults recorded, 2 the error report ended the compile, 3 unusable
// arguments or files that cannot be read or written.
int strumento_scenario(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err);

}  // namespace scenario

#endif  // TOOL_COMANDI_H_
