#include "cli/Json.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct JsonCase {
  const char* name;
  std::string text;
  std::string json;
  friend void PrintTo(const JsonCase& row, std::ostream* out) { *out << row.name; }
};

class JsonStringOf : public testing::TestWithParam<JsonCase> {};

TEST_P(JsonStringOf, IsValidJsonThatReadsBackAsTheText) { EXPECT_EQ(JsonString(GetParam().text), GetParam().json); }

// The expected strings are written out by hand, escapes and all, from RFC 8259
// and RFC 3629.
INSTANTIATE_TEST_SUITE_P(
    Texts, JsonStringOf,
    testing::Values(
        JsonCase{"Empty", "", "\"\""},
        JsonCase{"PlainIdentity", "ACME    COMBO DVD/RW 52X", "\"ACME    COMBO DVD/RW 52X\""},
        JsonCase{"QuoteAndBackslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        JsonCase{"ControlBytesAndDelete", std::string("\x01\t\n\x1f\x7f", 5), "\"\\u0001\\u0009\\u000a\\u001f\\u007f\""},
        JsonCase{"NulInside", std::string("a\0b", 3), "\"a\\u0000b\""},
        JsonCase{"Utf8FileNameKept", "firmw\xc3\xa4re \xe2\x82\xac \xf0\x9f\x92\xbf.bin",
                 "\"firmw\xc3\xa4re \xe2\x82\xac \xf0\x9f\x92\xbf.bin\""},
        JsonCase{"Utf8ControlCharactersEscaped", "\xc2\x80\xc2\x9b\xc2\x9f\xc2\xa0", "\"\\u0080\\u009b\\u009f\xc2\xa0\""},
        JsonCase{"Latin1ByteAlone", "caf\xe9", "\"caf\\u00e9\""},
        JsonCase{"LeadWithoutContinuation", "\xc3(", "\"\\u00c3(\""},
        JsonCase{"TruncatedAtTheEnd", "x\xe2\x82", "\"x\\u00e2\\u0082\""},
        JsonCase{"StrayContinuation", "\x80", "\"\\u0080\""},
        JsonCase{"OverlongSlash", "\xc0\xaf", "\"\\u00c0\\u00af\""},
        JsonCase{"OverlongThreeBytes", "\xe0\x80\xaf", "\"\\u00e0\\u0080\\u00af\""},
        JsonCase{"Surrogate", "\xed\xa0\x80", "\"\\u00ed\\u00a0\\u0080\""},
        JsonCase{"PastTheLastCodePoint", "\xf4\x90\x80\x80", "\"\\u00f4\\u0090\\u0080\\u0080\""},
        JsonCase{"LastCodePoint", "\xf4\x8f\xbf\xbf", "\"\xf4\x8f\xbf\xbf\""}),
    [](const testing::TestParamInfo<JsonCase>& row) { return std::string(row.param.name); });

}  // namespace
