// The editor's command line, read before any window exists.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>

#include "ui/CommandLine.h"
#include "ui/TAboutFrm.h"

namespace {

using qel::ui::CommandLine;
using qel::ui::ParseCommandLine;

TEST(CommandLineTest, DecidesBetweenStartingAndEndingWithAText)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing.ini"));
    const struct {
        const char* name;
        QStringList arguments;
        CommandLine::Action action;
        QString path;
        const char* text;  // a part of the printed text
    } cases[] = {
        {"no file starts untitled", {}, CommandLine::Action::Start, {}, ""},
        // Read in the window, where the failure shows as it does for Open.
        {"a missing file still starts", {missing}, CommandLine::Action::Start, missing, ""},
        {"a folder is refused", {dir.path()}, CommandLine::Action::Fail, {}, "is a folder"},
        {"two files are refused", {missing, missing}, CommandLine::Action::Fail, {}, "one file at a time"},
        {"an unknown option is refused", {QStringLiteral("--open")}, CommandLine::Action::Fail, {}, "'--open'"},
        {"a lone dash is no file", {QStringLiteral("-")}, CommandLine::Action::Fail, {}, "unknown option '-'"},
        {"an empty name is refused", {QString()}, CommandLine::Action::Fail, {}, "empty"},
        // Made absolute: the title and status bar show the full path, as after Open.
        {"after -- a dash starts a file name",
         {QStringLiteral("--"), QStringLiteral("-x.ini")},
         CommandLine::Action::Start,
         QDir::current().absoluteFilePath(QStringLiteral("-x.ini")),
         ""},
        {"help wins over what follows it",
         {QStringLiteral("--help"), QStringLiteral("--bad")},
         CommandLine::Action::Print,
         {},
         "Usage: qel [FILE]"},
        {"an unknown option before help is reported",
         {QStringLiteral("--bad"), QStringLiteral("-h")},
         CommandLine::Action::Fail,
         {},
         "'--bad'"},
    };
    for (const auto& c : cases) {
        const CommandLine result = ParseCommandLine(c.arguments);
        EXPECT_EQ(result.action, c.action) << c.name;
        EXPECT_EQ(result.path, c.path) << c.name;
        EXPECT_TRUE(result.text.contains(QString::fromUtf8(c.text))) << c.name << ": " << result.text.toStdString();
        if (result.action == CommandLine::Action::Fail) {
            EXPECT_EQ(result.text.count(QLatin1Char('\n')), 1) << c.name << ": one line";
            EXPECT_TRUE(result.text.endsWith(QLatin1Char('\n'))) << c.name;
        }
    }
}

TEST(CommandLineTest, VersionIsTheAboutBoxVersion)
{
    TAboutFrm about;
    const QString title = about.findChild<QLabel*>(QStringLiteral("AboutLabel"))->text();
    const QString version = title.section(QLatin1Char('v'), -1);
    ASSERT_FALSE(version.isEmpty());
    for (const char* option : {"--version", "-v"}) {
        const CommandLine result = ParseCommandLine({QString::fromLatin1(option)});
        EXPECT_EQ(result.action, CommandLine::Action::Print) << option;
        EXPECT_EQ(result.text, QStringLiteral("qel %1\n").arg(version)) << option;
    }
}

}  // namespace
