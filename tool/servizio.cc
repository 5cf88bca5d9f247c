#include "tool/servizio.h"

#include "compiler/compila_testi.h"
#include "lsp/server.h"
#include "platform/riga_comando.h"
#include "tool/argomenti.h"

namespace scenario {
namespace {

constexpr const char* kUsoLsp =
    "uso: scenario lsp [--ritardo MS]\n"
    "\n"
    "Server del Language Server Protocol sull'ingresso e sull'uscita standard, per\n"
    "gli editor (docs/editori.md): diagnostica della coppia di descrizioni mentre si\n"
    "scrive, documentazione dei record e dei valori, completamento, aiuto sui\n"
    "valori, struttura del documento, allineamento in colonne. Non scrive file.\n"
    "\n"
    "opzioni:\n"
    "  --ritardo MS   millisecondi di pausa dopo una modifica prima di compilare\n"
    "                 (predefinito 30)\n"
    "\n"
    "Stato d'uscita: 0 dopo \"shutdown\" ed \"exit\", 1 se l'ingresso finisce prima.\n";

}  // namespace

int comando_lsp(const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
  for (const std::string& x : a) {
    if (x == "--help" || x == "-h") {
      out << kUsoLsp;
      return kStatoPulito;
    }
  }
  lsp::opzioni_server o;
  try {
    const argomenti arg = leggi_argomenti(a, {{{"--ritardo", "--debounce"}, true}});
    if (!arg.posizionali.empty()) throw errore_argomenti("argomento inatteso: " + arg.posizionali.front());
    if (auto r = arg.metri("--ritardo")) {
      if (*r < 0 || *r > 60000) throw errore_argomenti("--ritardo: da 0 a 60000 millisecondi");
      o.ritardo_ms = static_cast<int>(*r);
    }
  } catch (const errore_argomenti& e) {
    err << "scenario lsp: " << e.what() << "\n\"scenario lsp --help\" per l'uso.\n";
    return kStatoArgomenti;
  }
  return lsp::esegui_server(ingresso_binario(), out, o);
}

}  // namespace scenario
