#include "common/json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace scenario::json {
namespace {

// What the tool writes reads back the same, and the reader the tests rely on
// refuses what is not JSON.
TEST(Json, ScritturaELettura) {
  const std::string testo = "a\"b\\c\nd\te\x01 é";
  EXPECT_EQ(stringa(testo), "\"a\\\"b\\\\c\\nd\\te\\u0001 é\"");
  EXPECT_EQ(leggi(stringa(testo)).s, testo);
  for (double v : {0.0, -1.5, 0.1, 1e300, 3002.7482506468873, -0.0}) {
    EXPECT_EQ(leggi(reale(v)).n, v) << reale(v);
  }
  EXPECT_EQ(reale(std::nan("")), "null");
  const valore v = leggi(R"( {"a": [1, 2.5e1, -3], "b": {"c": null, "d": true}, "e": "\u00e8\ud83d\ude00"} )");
  EXPECT_EQ(v["a"].a.at(1).n, 25);
  EXPECT_EQ(v["b"]["c"].t, valore::tipo::nullo);
  EXPECT_TRUE(v["b"]["d"].b);
  EXPECT_EQ(v["e"].s, "\xC3\xA8\xF0\x9F\x98\x80");
  EXPECT_FALSE(v.ha("z"));
  EXPECT_THROW(v["z"], std::out_of_range);
}

TEST(Json, TestiRifiutati) {
  for (const char* t : {"", "{", "[1,]", "{\"a\" 1}", "{\"a\": 1,}", "01", "1.", "-", "+1", "1e", "\"a",
                        "\"\\x\"", "\"\x01\"", "nul", "[1] 2", "{\"a\": 1, \"a\": 2}", "\"\\ud800\"", "'a'"}) {
    EXPECT_THROW(leggi(t), errore_json) << t;
  }
}

}  // namespace
}  // namespace scenario::json
