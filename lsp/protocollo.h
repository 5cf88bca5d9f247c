// The protocol's plain types and conversions that the features share:
// document names (URIs) and file paths, the lines of a text, and columns
// counted the way the client counts them.
#ifndef LSP_PROTOCOLLO_H_
#define LSP_PROTOCOLLO_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::lsp {

// How the client counts the characters of a line: UTF-16 code units, the
// protocol's default, or bytes of UTF-8 when both sides agree on it.
enum class unita_colonne { utf16, utf8 };

struct posizione {
  int riga = 0;     // from 0
  int colonna = 0;  // in the client's units
};

struct intervallo {
  posizione inizio;
  posizione fine;
};

// The path of a "file:" URI (percent escapes decoded; "/C:/x" becomes
// "C:/x"); nothing for any other scheme.
std::optional<std::string> percorso_da_uri(std::string_view uri);
// The "file:" URI of an absolute path.
std::string uri_da_percorso(std::string_view percorso);

// The lines of a text, without their ends; a line end is CR LF, LF or CR.
// A text ending with a line end has an empty last line, as editors count.
std::vector<std::string_view> righe_di(std::string_view testo);

// The byte of a UTF-8 line at a column, and back; a column past the end
// gives the line's end.
std::size_t byte_della_colonna(std::string_view riga, int colonna, unita_colonne u);
int colonna_del_byte(std::string_view riga, std::size_t byte, unita_colonne u);

}  // namespace scenario::lsp

#endif  // LSP_PROTOCOLLO_H_
