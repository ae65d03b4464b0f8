// The bytes of a recovery copy: what is written is read back the same, and
// a copy cut short anywhere is refused.

#include <gtest/gtest.h>

#include <QTimeZone>

#include "app/RecoveryFormat.h"
#include "core/Errors.h"

using namespace qel;
using namespace qel::app;

namespace {

const QDateTime kTime = QDateTime(QDate(2026, 3, 14), QTime(15, 9), Qt::UTC);

TEST(RecoveryCopyFormat, ReadsWhatItWritesAndRefusesCopiesCutShort)
{
    const std::string path = "/x/a\nb.ini";
    const std::string body = "OutFile=p\r\n\r\nend 3\n";
    const std::string whole = ComposeRecoveryHeader(path, kTime) + body + ComposeRecoveryEnd(body.size());
    const RecoveryContent content = ParseRecoveryCopy(whole);
    EXPECT_EQ(content.documentPath, path);
    EXPECT_EQ(content.savedAt, kTime);
    EXPECT_EQ(content.definition, body);

    struct Row {
        const char* name;
        std::string bytes;
    };
    const Row damaged[] = {
        {"empty", ""},
        {"another file", "OutFile=x\r\n"},
        {"last byte missing", whole.substr(0, whole.size() - 1)},
        {"end line missing", whole.substr(0, whole.size() - ComposeRecoveryEnd(body.size()).size())},
        {"definition cut", whole.substr(0, whole.size() - 30) + ComposeRecoveryEnd(body.size())},
        {"path longer than the copy", "QEL recovery 1\nfile 99:/x\ntime 1\n\n\nend 0\n"},
    };
    for (const Row& row : damaged)
        EXPECT_THROW(ParseRecoveryCopy(row.bytes), MessageError) << row.name;
}

TEST(RecoveryCopyFormat, EveryPathTimeAndDefinitionComesBackAsItWent)
{
    using namespace std::string_literals;
    const struct {
        const char* name;
        std::string path;
        QDateTime time;
        std::string definition;
    } rows[] = {
        {"untitled and empty at the epoch", "", QDateTime::fromMSecsSinceEpoch(0, Qt::UTC), ""},
        {"a path of colons, line breaks and bytes of no encoding", "/x/a:1\n\xff\0:b.ini"s, kTime, "OutFile=p\r\n"},
        {"end lines inside the definition", "/a.ini", kTime, "\nend 0\nend 1\n\nend \nend"},
        {"no final line break", "/a.ini", kTime, "[mapobjects]\r\n1,2,X"},
        {"the last millisecond of 9999", "/a.ini", QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999), Qt::UTC),
         "\0\xfe"s},
    };
    for (const auto& row : rows) {
        const RecoveryContent content = ParseRecoveryCopy(ComposeRecoveryHeader(row.path, row.time) + row.definition
                                                          + ComposeRecoveryEnd(row.definition.size()));
        EXPECT_EQ(content.documentPath, row.path) << row.name;
        EXPECT_EQ(content.savedAt, row.time) << row.name;
        EXPECT_EQ(content.definition, row.definition) << row.name;
    }
}

}  // namespace
