// The small pieces of SVG text the chart is written with: escaped character
// data and attribute values, and coordinates that are always finite numbers.
#ifndef CHART_SVG_H_
#define CHART_SVG_H_

#include <string>
#include <string_view>

namespace scenario::svg {

// UTF-8 text as XML character data or attribute value: the five markup
// characters escaped, and the control characters that XML 1.0 does not
// allow (all below U+0020 but tab, line feed and carriage return) replaced
// by "?".
std::string testo(std::string_view utf8);

// A coordinate with one decimal at most ("12.5", "-3", "0"); a value that is
// not finite is written as 0, so that no NaN ever reaches the file.
std::string num(double v);

}  // namespace scenario::svg

#endif  // CHART_SVG_H_
