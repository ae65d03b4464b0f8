// The help window: where the file is looked for, topics, links, and a missing
// file or topic reported in the window itself.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QWidget>

#include "ui/HelpViewer.h"

using qel::ui::FindHelpFile;
using qel::ui::HelpViewer;

namespace {

bool WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(content) == content.size();
}

// A help file with a short first topic and a later one far below it.
QByteArray SampleHelp()
{
    QByteArray html = "<html><body><h2><a name=\"What's new?\">What's new?</a></h2><p>Fresh things.</p>";
    for (int i = 0; i < 300; ++i)
        html += "<p>Filler paragraph " + QByteArray::number(i) + "</p>";
    html += "<h2><a name=\"Compile\">Compile</a></h2><p>Compiling explained.</p></body></html>";
    return html;
}

// Makes a folder current for the length of a test.
class CurrentFolder {
public:
    explicit CurrentFolder(const QString& folder) : saved_(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~CurrentFolder() { QDir::setCurrent(saved_); }

private:
    QString saved_;
};

class HelpViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(WriteFile(dir_.filePath(QStringLiteral("TEST-HELP.HLP")), SampleHelp()));
        main_.resize(300, 200);
        main_.show();
    }

    QString shownText() const { return viewer_.browser()->toPlainText(); }
    int scroll() const { return viewer_.browser()->verticalScrollBar()->value(); }

    QTemporaryDir dir_;
    QWidget main_;
    HelpViewer viewer_{&main_};
};

TEST_F(HelpViewerTest, OpensTheFileFromTheCurrentFolderAtTheTopic)
{
    CurrentFolder here(dir_.path());
    viewer_.showHelp(QStringLiteral("TEST-HELP.HLP"), QStringLiteral("What's new?"));
    ASSERT_NE(viewer_.browser(), nullptr);
    EXPECT_TRUE(viewer_.window()->isWindow());
    EXPECT_TRUE(viewer_.window()->isVisible());
    EXPECT_FALSE(viewer_.window()->isModal());
    EXPECT_TRUE(main_.isEnabled());
    EXPECT_TRUE(shownText().contains(QStringLiteral("Fresh things.")));
    const int first = scroll();

    // A later topic scrolls far down to it; asking again for the first one
    // goes back.
    viewer_.showHelp(QStringLiteral("TEST-HELP.HLP"), QStringLiteral("Compile"));
    EXPECT_GT(scroll(), first + 1000);
    viewer_.showHelp(QStringLiteral("TEST-HELP.HLP"), QStringLiteral("What's new?"));
    EXPECT_EQ(scroll(), first);
}

TEST_F(HelpViewerTest, MissingFileIsReportedInTheWindow)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    CurrentFolder here(empty.path());
    viewer_.showHelp(QStringLiteral("NO-SUCH-HELP.HLP"), QStringLiteral("What's new?"));
    ASSERT_NE(viewer_.browser(), nullptr);
    EXPECT_TRUE(viewer_.window()->isVisible());
    EXPECT_TRUE(shownText().contains(QStringLiteral("Help file not found")));
    EXPECT_TRUE(shownText().contains(QStringLiteral("NO-SUCH-HELP.HLP")));
    EXPECT_TRUE(shownText().contains(QDir::toNativeSeparators(empty.path())));
    EXPECT_TRUE(main_.isEnabled());
}

TEST_F(HelpViewerTest, MissingTopicIsReportedWithALinkToTheFile)
{
    CurrentFolder here(dir_.path());
    viewer_.showHelp(QStringLiteral("TEST-HELP.HLP"), QStringLiteral("No such topic"));
    EXPECT_TRUE(shownText().contains(QStringLiteral("Topic not found")));
    EXPECT_TRUE(shownText().contains(QStringLiteral("No such topic")));
    EXPECT_FALSE(shownText().contains(QStringLiteral("Fresh things.")));

    // The report's link opens the file.
    const QUrl file = QUrl::fromLocalFile(QFileInfo(dir_.filePath(QStringLiteral("TEST-HELP.HLP"))).absoluteFilePath());
    emit viewer_.browser()->anchorClicked(file);
    EXPECT_TRUE(shownText().contains(QStringLiteral("Fresh things.")));

    // And a link inside the file goes to its topic.
    const int top = scroll();
    emit viewer_.browser()->anchorClicked(QUrl(QStringLiteral("#Compile")));
    EXPECT_GT(scroll(), top + 1000);
}

TEST(FindHelpFileTest, LooksInTheFoldersInOrder)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir base(root.path());
    for (const char* folder : {"current", "program", "data"})
        ASSERT_TRUE(base.mkdir(QString::fromLatin1(folder)));
    const QStringList folders{base.filePath("current"), base.filePath("program"), base.filePath("data")};

    struct Case {
        QStringList holders;  // folders that have the file
        QString expected;     // folder expected to be chosen; empty: none
    };
    const Case cases[] = {
        {{"current", "program", "data"}, "current"},
        {{"program", "data"}, "program"},
        {{"data"}, "data"},
        {{}, QString()},
    };
    for (const Case& c : cases) {
        for (const char* folder : {"current", "program", "data"})
            QFile::remove(base.filePath(QString::fromLatin1(folder) + "/QEL.HLP"));
        for (const QString& holder : c.holders)
            ASSERT_TRUE(WriteFile(base.filePath(holder + "/QEL.HLP"), "x"));
        const QString expected = c.expected.isEmpty() ? QString() : QDir(base.filePath(c.expected)).filePath("QEL.HLP");
        EXPECT_EQ(FindHelpFile(QStringLiteral("QEL.HLP"), folders), expected) << c.holders.join(u',').toStdString();
    }

    // A folder of that name is not a help file.
    ASSERT_TRUE(base.mkpath(QStringLiteral("current/DIR.HLP")));
    ASSERT_TRUE(WriteFile(base.filePath("data/DIR.HLP"), "x"));
    EXPECT_EQ(FindHelpFile(QStringLiteral("DIR.HLP"), folders), QDir(base.filePath("data")).filePath("DIR.HLP"));

    // A name with a folder is taken as it is.
    ASSERT_TRUE(WriteFile(base.filePath("elsewhere.hlp"), "x"));
    EXPECT_EQ(FindHelpFile(base.filePath("elsewhere.hlp"), folders), base.filePath("elsewhere.hlp"));
    EXPECT_TRUE(FindHelpFile(base.filePath("data/missing.hlp"), folders).isEmpty());
    EXPECT_TRUE(FindHelpFile(QString(), folders).isEmpty());
}

// An installed tree finds its help file wherever its prefix is.
TEST(HelpFoldersTest, TheDataFolderFollowsTheExecutable)
{
    for (const char* prefix : {"/usr", "/tmp/elsewhere/with space"}) {
        const QString bin = QString::fromUtf8(prefix) + QStringLiteral("/bin");
        const QStringList folders = qel::ui::HelpFolders(bin);
        ASSERT_EQ(folders.size(), 3) << prefix;
        EXPECT_EQ(folders[1], bin) << prefix;
        EXPECT_EQ(folders[2], QString::fromUtf8(prefix) + QStringLiteral("/share/qel")) << prefix;
    }
}

// The help file that ships with the editor: every topic the editor and its
// contents list point to exists.
TEST(ShippedHelpTest, HasEveryTopicAndNoBrokenLink)
{
    const QString shipped =
        QDir(QStringLiteral(QEL_EXAMPLES_DIR)).filePath(QStringLiteral("../resources/help/QEL.HLP"));
    ASSERT_TRUE(QFileInfo::exists(shipped)) << shipped.toStdString();

    QWidget main;
    HelpViewer viewer(&main);
    const QStringList topics =
        QStringLiteral(
            "What's new?|File menu|File Section|Image Section|Preview Section|Objects Section|"
            "Tile shorthand|Presets|Switch|Sorting objects|File format|Options|Compile|Keys|Map View|"
            "Problems|Many objects|Recovery|Files changed on disk|Open Recent|Compiler Output")
            .split(u'|');
    for (const QString& topic : topics) {
        viewer.showHelp(shipped, topic);
        EXPECT_FALSE(viewer.browser()->toPlainText().contains(QStringLiteral("Topic not found")))
            << topic.toStdString();
    }

    viewer.showHelp(shipped, QString());
    const QTextDocument* document = viewer.browser()->document();
    QStringList anchors;
    QStringList links;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            anchors << format.anchorNames();
            if (format.anchorHref().startsWith(u'#'))
                links << QUrl(format.anchorHref()).fragment();
        }
    }
    EXPECT_GE(links.size(), 14);
    for (const QString& link : links)
        EXPECT_TRUE(anchors.contains(link)) << link.toStdString();
}

}  // namespace
