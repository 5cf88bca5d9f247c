// The chart read back in the tests: the elements of an SVG page with their
// attributes and text.
#ifndef TESTS_SVG_PROVA_H_
#define TESTS_SVG_PROVA_H_

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace scenario::prova {

// Reading the chart back: the elements of the SVG with their attributes and
// text. The nesting is checked on the way: every element closes, in order,
// under its own name.

struct elemento {
  std::string nome;
  std::map<std::string, std::string> attr;
  std::string testo;  // character data directly inside, entities decoded

  const std::string& operator[](const std::string& a) const {
    static const std::string vuoto;
    const auto it = attr.find(a);
    return it == attr.end() ? vuoto : it->second;
  }
  double numero(const std::string& a) const { return std::stod((*this)[a]); }
};

inline std::string decodifica_entita(const std::string& s) {
  static const std::pair<const char*, char> entita[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string r;
  for (std::size_t i = 0; i < s.size();) {
    bool trovata = false;
    for (const auto& [e, c] : entita) {
      if (s.compare(i, std::char_traits<char>::length(e), e) == 0) {
        r += c;
        i += std::char_traits<char>::length(e);
        trovata = true;
        break;
      }
    }
    if (trovata) continue;
    if (s[i] == '&') ADD_FAILURE() << "& non in un'entità: " << s.substr(i, 12);
    r += s[i++];
  }
  return r;
}

inline std::vector<elemento> elementi(const std::string& svg) {
  std::vector<elemento> r;
  std::vector<std::size_t> aperti;
  std::size_t i = 0;
  while ((i = svg.find('<', i)) != std::string::npos) {
    if (svg.compare(i, 2, "<?") == 0) {
      i = svg.find("?>", i) + 2;
      continue;
    }
    if (svg.compare(i, 2, "</") == 0) {
      const std::size_t fine = svg.find('>', i);
      const std::string nome = svg.substr(i + 2, fine - i - 2);
      if (aperti.empty() || r[aperti.back()].nome != nome) {
        ADD_FAILURE() << "</" << nome << "> chiude " << (aperti.empty() ? "niente" : r[aperti.back()].nome);
        return r;
      }
      aperti.pop_back();
      i = fine + 1;
      continue;
    }
    elemento e;
    std::size_t j = i + 1;
    while (j < svg.size() && !std::isspace(static_cast<unsigned char>(svg[j])) && svg[j] != '>' && svg[j] != '/') {
      e.nome += svg[j++];
    }
    bool chiuso = false;
    for (;;) {
      while (std::isspace(static_cast<unsigned char>(svg[j]))) ++j;
      if (svg[j] == '/') {
        chiuso = true;
        j += 2;
        break;
      }
      if (svg[j] == '>') {
        ++j;
        break;
      }
      const std::size_t uguale = svg.find('=', j);
      const std::string a = svg.substr(j, uguale - j);
      if (svg[uguale + 1] != '"') {
        ADD_FAILURE() << "attributo " << a << " senza virgolette";
        return r;
      }
      const std::size_t chiusa = svg.find('"', uguale + 2);
      if (e.attr.count(a)) ADD_FAILURE() << "attributo " << a << " ripetuto in <" << e.nome << ">";
      e.attr[a] = decodifica_entita(svg.substr(uguale + 2, chiusa - uguale - 2));
      j = chiusa + 1;
    }
    const std::size_t dopo = svg.find('<', j);
    if (!chiuso) e.testo = decodifica_entita(svg.substr(j, dopo - j));
    r.push_back(std::move(e));
    if (!chiuso) aperti.push_back(r.size() - 1);
    i = j;
  }
  EXPECT_TRUE(aperti.empty()) << "elementi non chiusi: " << aperti.size();
  return r;
}

inline std::vector<elemento> con_classe(const std::vector<elemento>& v, const std::string& classe) {
  std::vector<elemento> r;
  for (const elemento& e : v) {
    if (e["class"] == classe) r.push_back(e);
  }
  return r;
}

}  // namespace scenario::prova

#endif  // TESTS_SVG_PROVA_H_
