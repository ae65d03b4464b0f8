// Files changed by other programs while the definition is open, through the
// window: the watch's settle() stands for the notices after a burst.
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QStatusBar>
#include <cstdio>

#include "app/ProblemMonitor.h"
#include "platform/FileNameText.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/DiskFollower.h"
#include "ui/MapView.h"

namespace {

class DiskChangesTest : public MainWindowTest {
protected:
    void openWith(const std::string& text)
    {
        writeFile(path("d.ini"), text);
        open(path("d.ini"));
    }
    void type(const QString& text)
    {
        find<QLineEdit>("eOutFile")->setText(text);
        emit find<QLineEdit>("eOutFile")->textEdited(text);
    }
    void settle() { frm->diskFollower().watch().settle(); }
    QString status() { return find<QStatusBar>("Status")->currentMessage(); }
    QString outFile() { return find<QLineEdit>("eOutFile")->text(); }
};

TEST_F(DiskChangesTest, AnUnchangedDocumentRenamedOverIsReadAgainAndUndoBringsBackWhatWasShown)
{
    openWith("OutFile=a\r\n\r\n");
    writeFile(path("new.ini"), "OutFile=b\r\n\r\n");
    ASSERT_EQ(std::rename(qel::FileNameBytes(path("new.ini")).c_str(), qel::FileNameBytes(path("d.ini")).c_str()), 0);
    settle();
    EXPECT_EQ(outFile(), "b");
    EXPECT_EQ(status(), "d.ini was changed on disk and read again");
    EXPECT_FALSE(frm->session().modified());
    EXPECT_TRUE(prompter.errors.empty() && prompter.confirmations.empty());
    frm->UndoExecute();
    EXPECT_EQ(outFile(), "a");
    EXPECT_TRUE(frm->session().modified());
}

TEST_F(DiskChangesTest, ChangesInTheEditorAreKeptUnlessTheUserSaysAndSaveAsksBeforeReplacing)
{
    openWith("OutFile=a\r\n\r\n");
    type("mine");
    writeFile(path("d.ini"), "OutFile=theirs\r\n\r\n");
    prompter.confirmAnswers.push_back(false);
    settle();
    settle();
    EXPECT_EQ(prompter.noDefaultConfirmations,
              std::vector<QString>({"d.ini was changed on disk. Read it again and lose your changes?"}));
    EXPECT_EQ(outFile(), "mine");
    EXPECT_TRUE(frm->session().modified());

    prompter.confirmAnswers.push_back(false);
    frm->SaveExecute();
    EXPECT_EQ(prompter.noDefaultConfirmations.back(),
              "d.ini was changed on disk since it was read. Replace it with this definition?");
    EXPECT_EQ(readFile(path("d.ini")), "OutFile=theirs\r\n\r\n");
}

TEST_F(DiskChangesTest, ADeletedFileIsUnsavedWorkAndALinkInItsPlaceIsAChangeLikeAnyOther)
{
    // Deleted while unchanged: what is in memory is the only copy.
    openWith("OutFile=a\r\n\r\n");
    QFile::remove(path("d.ini"));
    settle();
    EXPECT_EQ(frm->windowTitle(), "*d.ini - QEL v2 [Tarnwick]");
    prompter.saveChangesAnswers.push_back(qel::ui::SaveChangesAnswer::Yes);
    frm->NewExecute();
    EXPECT_EQ(readFile(path("d.ini")), "OutFile=a\r\n\r\n");

    // A link put in its place while there are changes: asked, and Save asks
    // before writing the file the link leads to; the link stays.
    openWith("OutFile=a\r\n\r\n");
    type("mine");
    writeFile(path("other"), "theirs");
    QFile::remove(path("d.ini"));
    QFile::link(path("other"), path("d.ini"));
    prompter.confirmAnswers = {false, true};
    settle();
    frm->SaveExecute();
    EXPECT_EQ(prompter.noDefaultConfirmations,
              std::vector<QString>({"d.ini was changed on disk. Read it again and lose your changes?",
                                    "d.ini was changed on disk since it was read. Replace it with this definition?"}));
    EXPECT_EQ(readFile(path("other")), "OutFile=mine\r\n\r\n");
    EXPECT_TRUE(QFileInfo(path("d.ini")).isSymLink());
}

TEST_F(DiskChangesTest, APictureMadeOnDiskIsSeenWithoutF5)
{
    openWith("OutFile=\r\n\r\n[objectimages]\r\nIMAGE0=pic.png\r\n\r\n[mapobjects]\r\n0,0,IMAGE0\r\n");
    frm->MapView1Click();
    qel::platform::PictureCache& cache =
        *frm->findChild<qel::ui::MapView*>()->findChild<qel::platform::PictureCache*>(QStringLiteral("PictureCache"));
    EXPECT_TRUE(cache.cell(path("pic.png"), 0, 0).isNull());
    frm->problemMonitor().finishChecking();
    const std::size_t errors = frm->problemMonitor().counts().errors;
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(path("pic.png")));
    settle();
    frm->problemMonitor().finishChecking();
    EXPECT_EQ(frm->problemMonitor().counts().errors, errors - 1);
    cache.cell(path("pic.png"), 0, 0);  // decoded beside the window
    cache.waitForPictures();
    EXPECT_FALSE(cache.cell(path("pic.png"), 0, 0).isNull());
}

}  // namespace
