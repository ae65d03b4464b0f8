// The error box shows a failure's whole message, control characters drawn
// visibly.
#include <gtest/gtest.h>

#include <QString>
#include <ostream>
#include <stdexcept>
#include <string>

#include "core/Errors.h"
#include "ui/Guarded.h"

namespace {

using namespace std::string_literals;

struct MessageCase {
    const char* name;
    std::string text;  // the message of a ConversionError or a plain std::runtime_error
    bool own;
    QString shown;
};

void PrintTo(const MessageCase& value, std::ostream* os)
{
    *os << value.name;
}

class FailureMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(FailureMessages, ShowEveryByte)
{
    const MessageCase& c = GetParam();
    const QString shown = c.own ? qel::ui::FailureMessage(qel::ConversionError(c.text))
                                : qel::ui::FailureMessage(std::runtime_error(c.text));
    EXPECT_EQ(shown.toStdU16String(), c.shown.toStdU16String());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailureMessages,
    ::testing::Values(MessageCase{"NulDoesNotEndIt", "0\0,x"s, true,
                                  QString::fromUtf16(u"'0\u2400,x' is not a valid integer value.")},
                      MessageCase{"TabEscapeAndDelete", "\t\x1b\x7f", true,
                                  QString::fromUtf16(u"'\u2409\u241B\u2421' is not a valid integer value.")},
                      MessageCase{"ByteWithoutASign", "\x85\xE9", true,
                                  QString::fromUtf16(u"'<85>\u00E9' is not a valid integer value.")},
                      MessageCase{"OtherFailuresToo", "bad\nthing", false, QString::fromUtf16(u"bad\u240Athing.")}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
