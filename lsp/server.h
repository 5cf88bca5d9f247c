// The language server: JSON-RPC requests and notifications of the Language
// Server Protocol 3.17 read from one stream and answered on another, over
// the drafts of the open documents and the features of this folder. The
// diagnostics of a pair are compiled on a worker thread after a short
// pause (the debounce); a newer change makes an older compile's result
// stale, and it is dropped unpublished.
#ifndef LSP_SERVER_H_
#define LSP_SERVER_H_

#include <istream>
#include <memory>
#include <ostream>

namespace scenario::lsp {

struct opzioni_server {
  // Milliseconds from the last change to the compile; the client's
  // initializationOptions may set it ("ritardo").
  int ritardo_ms = 30;
};

// Serves until the "exit" notification or the end of the input. Returns the
// exit status: 0 after "shutdown" then "exit", 1 otherwise.
int esegui_server(std::istream& in, std::ostream& out, const opzioni_server& o = {});

}  // namespace scenario::lsp

#endif  // LSP_SERVER_H_
