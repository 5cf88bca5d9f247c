// The command line of the tool: options by name ("--out DIR" or
// "--out=DIR"), each with its aliases, and the positional arguments; "--"
// ends the options.
#ifndef TOOL_ARGOMENTI_H_
#define TOOL_ARGOMENTI_H_

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace scenario {

// An argument the tool cannot use; the message says which and why.
class errore_argomenti : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct opzione {
  std::vector<std::string> nomi;  // the first is the one the values are kept under
  bool con_valore = false;
};

struct argomenti {
  std::vector<std::string> posizionali;
  std::map<std::string, std::string> valori;  // by the option's first name
  std::set<std::string> presenti;             // likewise, for options without a value

  bool ha(const std::string& nome) const { return presenti.count(nome) != 0 || valori.count(nome) != 0; }
  std::optional<std::string> valore(const std::string& nome) const;
  // A whole number in metres, when given; errore_argomenti when not one.
  std::optional<int64_t> metri(const std::string& nome) const;
};

// errore_argomenti for an unknown option, a value missing, or an option
// given twice.
argomenti leggi_argomenti(const std::vector<std::string>& a, const std::vector<opzione>& opzioni);

// True when the options ask for the command's help (--help, -h) before any
// "--".
bool chiede_aiuto(const std::vector<std::string>& a);

// An argument a command cannot use: "scenario COMANDO: PERCHE" and where its
// usage is, on `err`; returns the tool's exit status for unusable arguments.
int inservibile(std::ostream& err, const std::string& comando, const std::string& perche);

// Called from inside the catch of a binary file's reading: says on `err`
// why `nome` could not be read (the system's error, a file too large for
// its kind, memory run out) and returns the status of a command that could
// not run. Anything else is thrown on.
int lettura_fallita(std::ostream& err, const std::string& nome);

}  // namespace scenario

#endif  // TOOL_ARGOMENTI_H_
