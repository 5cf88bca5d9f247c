// Text from a description or a binary file on its way to a terminal: its
// control characters (below 0x20 but the tab, and 0x7F) shown as \xHH, so
// that no byte of a file moves the cursor, clears the screen or retitles
// the window.
#ifndef COMMON_MOSTRA_H_
#define COMMON_MOSTRA_H_

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace scenario {

// The text with every control character but the tab as \xHH (lower case).
std::string mostrabile(std::string_view testo);

// A stream that writes into `destinazione` what it is given, control
// characters escaped as mostrabile does, except the line break.
class flusso_mostrabile : public std::ostream {
 public:
  explicit flusso_mostrabile(std::ostream& destinazione);
  ~flusso_mostrabile() override;

 private:
  std::unique_ptr<std::streambuf> buffer_;
};

}  // namespace scenario

#endif  // COMMON_MOSTRA_H_
