// The command line and the text output of a console program, alike on every
// system: the arguments in UTF-8, and text written in UTF-8 that a console
// shows as its characters while a file or a pipe receives the same bytes as
// on Linux. One implementation per system, chosen at build time.
#ifndef PLATFORM_RIGA_COMANDO_H_
#define PLATFORM_RIGA_COMANDO_H_

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace scenario {

// The program's arguments, without its name, in UTF-8. `argc` and `argv`
// are main's; a system whose own command line is wider than its narrow
// code page reads that instead.
std::vector<std::string> argomenti_utf8(int argc, char** argv);

// Sets up the process before its work: called first in main. The programs
// take and free blocks of a few hundred kilobytes (descriptions, pieces of
// the files being written); where the allocator would hand each of them
// back to the system and fault it in anew, it is asked to keep them.
void prepara_processo();

// The standard output and the standard error for UTF-8 text. The error is
// written through at every output operation.
std::ostream& uscita_utf8();
std::ostream& errore_utf8();

// The standard input as bytes, as a protocol over a pipe needs it: no line
// end translated, no byte taken for the end of the file. The standard
// output of uscita_utf8 passes bytes unchanged to a pipe already.
std::istream& ingresso_binario();

}  // namespace scenario

#endif  // PLATFORM_RIGA_COMANDO_H_
