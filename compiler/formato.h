// What the three binary files share: none has a header or a record count,
// so a reader knows their sizes from elsewhere (the item file always has 87
// records; the other two follow from the line length). Each file's layout,
// writer and reader live together: compiler/formato_voci.h (items),
// compiler/formato_celle.h (track), compiler/formato_geometria.h (line
// geometry).
#ifndef COMPILER_FORMATO_H_
#define COMPILER_FORMATO_H_

#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>

namespace scenario {

// Bytes that do not fit their format: where (byte offset) and why. The
// readers check every size before using it and never read past the end.
class errore_decodifica : public std::runtime_error {
 public:
  errore_decodifica(std::size_t offset, std::string motivo)
      : std::runtime_error("all'offset " + std::to_string(offset) + ": " + motivo),
        offset_(offset),
        motivo_(std::move(motivo)) {}
  std::size_t offset() const { return offset_; }
  const std::string& motivo() const { return motivo_; }

 private:
  std::size_t offset_;
  std::string motivo_;
};

// A field of a record: its name, as the model and the tool call it, and its
// offset. In an item record the fields after the name have their offset
// counted from the end of the name's bytes, whose length varies.
struct campo_record {
  const char* nome;
  std::size_t offset;
  bool dopo_nome = false;
};

}  // namespace scenario

#endif  // COMPILER_FORMATO_H_
