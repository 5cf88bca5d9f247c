// The wire of the language server: JSON-RPC messages framed by a
// "Content-Length" header over a pair of byte streams, as the Language
// Server Protocol has them. Only the framing is here; what a message says is
// the server's business.
#ifndef LSP_TRASPORTO_H_
#define LSP_TRASPORTO_H_

#include <cstddef>
#include <istream>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>

namespace scenario::lsp {

// The largest body taken whole. A description is refused past 64 MiB; its
// text in JSON, with escapes, may be larger: a body up to this size is read
// so that the refusal can be told, a larger one is passed over.
inline constexpr std::size_t kMassimoMessaggio = std::size_t{200} << 20;

struct messaggio_letto {
  enum class tipo { corpo, troppo_grande, intestazione_errata };
  tipo t = tipo::corpo;
  std::string corpo;  // the JSON text when t is corpo
};

class trasporto {
 public:
  trasporto(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  // The next message; nothing at the end of the input (or when it breaks
  // off inside a message). A header without a usable Content-Length gives
  // intestazione_errata and the reading goes on after its blank line.
  std::optional<messaggio_letto> leggi();

  // Writes one message whole and flushes it; safe from several threads.
  void scrivi(const std::string& corpo);

 private:
  std::istream& in_;
  std::ostream& out_;
  std::mutex scrittura_;
};

}  // namespace scenario::lsp

#endif  // LSP_TRASPORTO_H_
