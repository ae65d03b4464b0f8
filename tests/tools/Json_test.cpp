#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>

#include "tools/qeltool/Json.h"

namespace {

struct EscapeCase {
    const char* name;
    std::string bytes;
    std::string json;
};

void PrintTo(const EscapeCase& value, std::ostream* os)
{
    *os << value.name;
}

class JsonEscape : public testing::TestWithParam<EscapeCase> {};

TEST_P(JsonEscape, WritesEachByteAsItsLatin1Character)
{
    std::string out = "prefix:";
    qeltool::AppendJsonString(out, GetParam().bytes);
    EXPECT_EQ(out, "prefix:" + GetParam().json);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JsonEscape,
    testing::Values(EscapeCase{"Empty", "", "\"\""}, EscapeCase{"Plain", "16,32,IMAGE0", "\"16,32,IMAGE0\""},
                    EscapeCase{"QuoteAndBackslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
                    EscapeCase{"ControlCharacters", std::string("\x01\t\n\r\x1f", 5),
                               "\"\\u0001\\u0009\\u000a\\u000d\\u001f\""},
                    EscapeCase{"NulByte", std::string("a\0b", 3), "\"a\\u0000b\""},
                    EscapeCase{"DeleteAndSlashAsIs", "\x7f/", "\"\x7f/\""},
                    EscapeCase{"HighBytes", "\x80\xa0\xe9\xff", "\"\xc2\x80\xc2\xa0\xc3\xa9\xc3\xbf\""},
                    EscapeCase{"MixedAtBothEnds", "\xe9x\"\x02", "\"\xc3\xa9x\\\"\\u0002\""}),
    [](const testing::TestParamInfo<EscapeCase>& info) { return info.param.name; });

TEST(JsonStream, KeepsOrderAcrossBufferSpills)
{
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::string expected;
    {
        // A tiny buffer forces a spill on nearly every call.
        qeltool::JsonStream json(file, 8);
        for (int i = -3; i < 40; ++i) {
            json.raw("[").number(i).raw(",").string("\xe9").raw(",").null().raw("]");
            expected += "[" + std::to_string(i) + ",\"\xc3\xa9\",null]";
        }
        EXPECT_TRUE(json.flush());
    }
    std::rewind(file);
    std::string written;
    char buffer[256];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        written.append(buffer, got);
    std::fclose(file);
    EXPECT_EQ(written, expected);
}

}  // namespace
