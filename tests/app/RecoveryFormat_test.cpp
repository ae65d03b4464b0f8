// The bytes of a recovery copy: what is written is read back the same, and
// a copy cut short anywhere is refused.

#include <gtest/gtest.h>

#include <QTimeZone>

#include "Errors.h"
#include "RecoveryFormat.h"

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

}  // namespace
