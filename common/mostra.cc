#include "common/mostra.h"

namespace scenario {
namespace {

bool di_controllo(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }

void metti_escape(std::string& s, unsigned char c) {
  constexpr char kCifre[] = "0123456789abcdef";
  s += "\\x";
  s += kCifre[c >> 4];
  s += kCifre[c & 0xF];
}

class buffer_mostrabile : public std::streambuf {
 public:
  explicit buffer_mostrabile(std::ostream& d) : d_(d) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const auto b = static_cast<unsigned char>(traits_type::to_char_type(c));
    if (b == '\n' || !di_controllo(b)) {
      d_.put(static_cast<char>(b));
    } else {
      std::string s;
      metti_escape(s, b);
      d_.write(s.data(), static_cast<std::streamsize>(s.size()));
    }
    return d_ ? c : traits_type::eof();
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    std::string fuori;
    fuori.reserve(static_cast<std::size_t>(n));
    for (std::streamsize i = 0; i < n; ++i) {
      const auto b = static_cast<unsigned char>(s[i]);
      if (b == '\n' || !di_controllo(b)) {
        fuori += static_cast<char>(b);
      } else {
        metti_escape(fuori, b);
      }
    }
    d_.write(fuori.data(), static_cast<std::streamsize>(fuori.size()));
    return d_ ? n : 0;
  }
  int sync() override {
    d_.flush();
    return d_ ? 0 : -1;
  }

 private:
  std::ostream& d_;
};

}  // namespace

std::string mostrabile(std::string_view testo) {
  std::string s;
  s.reserve(testo.size());
  for (char ch : testo) {
    const auto c = static_cast<unsigned char>(ch);
    if (di_controllo(c)) {
      metti_escape(s, c);
    } else {
      s += ch;
    }
  }
  return s;
}

flusso_mostrabile::flusso_mostrabile(std::ostream& destinazione)
    : std::ostream(nullptr), buffer_(std::make_unique<buffer_mostrabile>(destinazione)) {
  rdbuf(buffer_.get());
}

flusso_mostrabile::~flusso_mostrabile() { flush(); }

}  // namespace scenario
