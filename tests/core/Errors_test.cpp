// Messages quote at most the start of a text from a file.

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "core/DefinitionDocument.h"
#include "core/DefinitionReader.h"
#include "core/Errors.h"

namespace {

// The message of reading `bytes`; empty when they read cleanly.
std::string ReadMessage(const std::string& bytes)
{
    qel::DefinitionDocument doc;
    try {
        qel::ReadDefinitionBytes(doc, bytes);
    } catch (const qel::Error& error) {
        return error.message();
    }
    return {};
}

struct QuoteCase {
    const char* name;
    std::function<std::string()> message;
    std::string expected;
};

void PrintTo(const QuoteCase& value, std::ostream* os)
{
    *os << value.name;
}

class Quoting : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(Quoting, QuotesAtMost200BytesAndTheLengthOfTheRest)
{
    EXPECT_EQ(GetParam().message(), GetParam().expected);
}

const std::string k200(200, '7');

INSTANTIATE_TEST_SUITE_P(
    Cases, Quoting,
    ::testing::Values(QuoteCase{"Of200BytesWhole", [] { return qel::QuotedText(k200); }, k200},
                      QuoteCase{"Of201BytesCut", [] { return qel::QuotedText(k200 + "8"); }, k200 + "... (201 bytes)"},
                      QuoteCase{"NulBytesCountAsBytes", [] { return qel::QuotedText(std::string(300, '\0')); },
                                std::string(200, '\0') + "... (300 bytes)"},
                      QuoteCase{"MapLineOfTenMillionDigits",
                                [] { return ReadMessage("[mapobjects]\r\n" + std::string(10'000'000, '7') + "\r\n"); },
                                "'" + k200 + "... (10000000 bytes)' is not a valid integer value"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
