#include "common/json.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>

namespace scenario {
namespace {

// Text passes through as UTF-8 with what JSON forbids escaped; bytes that
// are not UTF-8 do not make the document unreadable; reals read back to the
// same bits.
TEST(Json, ValoriSuUnaRiga) {
  const std::string testo = "a\"b\\c\nd\te\x01 é";
  EXPECT_EQ(testo_json(testo), "\"a\\\"b\\\\c\\nd\\te\\u0001 é\"");
  EXPECT_EQ(json::parse(testo_json(testo)).get<std::string>(), testo);
  EXPECT_EQ(testo_json(std::string("nome\xE8.sim")), "\"nome\xEF\xBF\xBD.sim\"");
  for (double v : {0.0, -1.5, 0.1, 1e300, 3002.7482506468873, -0.0, 5e-324}) {
    const std::string t = testo_json(v);
    EXPECT_EQ(std::bit_cast<uint64_t>(json::parse(t).get<double>()), std::bit_cast<uint64_t>(v)) << t;
  }
  EXPECT_EQ(testo_json(0.1), "0.1");
  EXPECT_EQ(testo_json(std::nan("")), "null");
  EXPECT_EQ(testo_json(int64_t{-32768}), "-32768");
}

// Members keep the order they were set in; arrays of objects, and the last
// member when elements are added as they come, have one element a line.
TEST(Json, DocumentoARighe) {
  json d;
  d["z"] = "primo";
  d["a"] = json::array({1, 2});
  d["vuoto"] = json::array();
  d["m"]["k"] = nullptr;
  d["righe"] = json::array();
  d["righe"].push_back(json{{"n", 1}});
  std::ostringstream out;
  scrivi_json(out, d, [](const std::function<void(const json&)>& metti) {
    for (int n = 2; n <= 3; ++n) metti(json{{"n", n}});
  });
  EXPECT_EQ(out.str(),
            "{\"z\":\"primo\",\"a\":[1,2],\"vuoto\":[],\"m\":{\"k\":null},\"righe\":[\n"
            "  {\"n\":1},\n"
            "  {\"n\":2},\n"
            "  {\"n\":3}]}");
  json atteso = d;
  atteso["righe"].push_back(json{{"n", 2}});
  atteso["righe"].push_back(json{{"n", 3}});
  EXPECT_EQ(json::parse(out.str()), atteso);

  std::ostringstream senza;
  json e;
  e["righe"] = json::array();
  scrivi_json(senza, e, [](const std::function<void(const json&)>&) {});
  EXPECT_EQ(senza.str(), "{\"righe\":[]}");
}

}  // namespace
}  // namespace scenario
