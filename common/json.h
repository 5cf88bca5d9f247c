// JSON for the tool's machine output: the few writing helpers it needs, and
// a strict reader, so that what is written can be read back and checked.
#ifndef COMMON_JSON_H_
#define COMMON_JSON_H_

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::json {

// A string literal with its quotes; the text is taken as UTF-8 and passed
// through, control characters, quotes and backslashes escaped.
std::string stringa(std::string_view utf8);
// A real as the shortest text that reads back to the same double; null for
// a value that JSON cannot hold (NaN, infinities).
std::string reale(double v);

// A parsed value.
struct valore {
  enum class tipo { nullo, booleano, numero, stringa, array, oggetto };
  tipo t = tipo::nullo;
  bool b = false;
  double n = 0;
  std::string s;
  std::vector<valore> a;
  std::map<std::string, valore> o;

  // The member `chiave` of an object; std::out_of_range when absent.
  const valore& operator[](const std::string& chiave) const;
  bool ha(const std::string& chiave) const { return t == tipo::oggetto && o.count(chiave) != 0; }
};

class errore_json : public std::runtime_error {
 public:
  errore_json(std::size_t offset, const std::string& motivo);
  std::size_t offset() const { return offset_; }

 private:
  std::size_t offset_;
};

// The whole text must be one value, blanks around it allowed.
valore leggi(std::string_view testo);

}  // namespace scenario::json

#endif  // COMMON_JSON_H_
