// The file list in the window: adding (and collecting) files, a double click
// that makes an entry the image's file, deleting and clearing.
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QToolButton>

#include "platform/FileNameText.h"
#include "tests/fakes/FakeFileOperations.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/FileSection.h"

namespace {

class FileSectionTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        services.files = &files;
        MainWindowTest::SetUp();
        ASSERT_TRUE(QDir(dir.path()).mkpath("art") && QDir(dir.path()).mkpath("defs"));
    }
    QListView* list() const { return find<QListView>("FileList"); }
    QStringList listed() const { return rowsOf(list()->model()); }

    qel::platform::FakeFileOperations files;
};

TEST_F(FileSectionTest, AddingListsNamesAndCollectsOnlyIntoAKnownFolder)
{
    const struct {
        const char* name;
        bool saved, collect;
        QStringList chosen;   // made under art/
        QStringList already;  // in defs/ already, with other bytes
        QStringList failing;  // copies that fail
        QStringList copied;   // in defs/ afterwards with the chosen file's bytes
        const char* message;
    } cases[] = {
        {"Collects", true, true, {"ship.bmp"}, {}, {}, {"ship.bmp"}, nullptr},
        {"ThreeAtOnce", true, true, {"a.png", "b.wav", "c"}, {}, {}, {"a.png", "b.wav", "c"}, nullptr},
        {"SameNameThereIsKept", true, true, {"ship.bmp"}, {"ship.bmp"}, {}, {}, nullptr},
        {"NeverSaved", false, true, {"ship.bmp"}, {}, {}, {}, nullptr},
        {"CollectingOff", true, false, {"ship.bmp"}, {}, {}, {}, nullptr},
        {"FailuresReportedOnce",
         true,
         true,
         {"a.png", "b.png", "c.png"},
         {},
         {"a.png", "c.png"},
         {"b.png"},
         "These files could not be copied to %1: a.png, c.png."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        frm->session().history().setClean();
        frm->NewExecute();
        prompter.errors.clear();
        QDir defs(path("defs"));
        for (const QString& name : defs.entryList(QDir::Files))
            defs.remove(name);
        if (c.saved) {
            prompter.saveAnswers.push_back(path("defs/level.ini"));
            frm->SaveAsExecute();
        }
        frm->settings().setCollectFiles(c.collect);
        QStringList chosen;
        for (const QString& name : c.chosen) {
            writeFile(path("art/" + name), "from art");
            chosen << path("art/" + name);
        }
        for (const QString& name : c.already)
            writeFile(path("defs/" + name), "kept");
        files.failingTargets.clear();
        for (const QString& name : c.failing)
            files.failingTargets.insert(qel::FileNameBytes(path("defs/" + name)));

        prompter.openFilesAnswers.push_back(chosen);
        find<QToolButton>("AddFile")->click();

        EXPECT_EQ(listed(), c.chosen);
        for (const QString& name : c.chosen)
            EXPECT_EQ(readFile(path("defs/" + name)) == "from art", c.copied.contains(name)) << name.toStdString();
        for (const auto& copy : files.copies)
            EXPECT_FALSE(copy.replace);
        EXPECT_EQ(prompter.errors,
                  c.message ? std::vector<QString>({QString(c.message).arg(path("defs/"))}) : std::vector<QString>());
    }
}

TEST_F(FileSectionTest, DoubleClickMakesAPictureTheSelectedImagesFile)
{
    const struct {
        const char* name;
        bool imageSelected;
        const char* entry;
        const char* before;
        std::optional<bool> answer;  // the question is asked when set
        const char* after;
    } cases[] = {
        {"EmptyFileIsSetWithoutAQuestion", true, "pic.BM2", "", std::nullopt, "pic.BM2"},
        {"Yes", true, "b.png", "a.bmp", true, "b.png"},
        {"No", true, "b.png", "a.bmp", false, "a.bmp"},
        {"NoImageSelected", false, "b.png", "a.bmp", std::nullopt, "a.bmp"},
    };
    frm->show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(path("d.ini"),
                  std::string("File=") + c.entry + "\n[objectimages]\nIMAGE0=x\nIMAGE1=" + c.before + "\n");
        open(path("d.ini"));
        prompter.confirmations.clear();
        find<QComboBox>("ImageBox")->setCurrentIndex(c.imageSelected ? 1 : -1);
        if (c.answer)
            prompter.confirmAnswers.push_back(*c.answer);
        list()->setCurrentIndex(list()->model()->index(0, 0));
        const QPoint at = list()->visualRect(list()->currentIndex()).center();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);

        EXPECT_EQ(frm->document().images()[1].file, c.after);
        EXPECT_EQ(find<QLineEdit>("eImageFile")->text(), c.imageSelected ? c.after : "");
        EXPECT_EQ(prompter.confirmations,
                  c.answer ? std::vector<QString>({QString("Change IMAGE1 from '%1' to '%2'?").arg(c.before, c.entry)})
                           : std::vector<QString>());
        frm->session().history().setClean();
    }
}

TEST_F(FileSectionTest, DeleteAndClearLeaveImagesAloneAndCanBeUndone)
{
    writeFile(path("defs/d.ini"), "File=a.bmp\nFile=b.wav\nFile=c.png\n[objectimages]\nIMAGE0=a.bmp\n");
    open(path("defs/d.ini"));
    auto* clear = find<QToolButton>("ClearFileList");
    frm->TimerTimer();
    EXPECT_TRUE(clear->isEnabled());
    for (int row : {0, 2})
        list()->selectionModel()->select(list()->model()->index(row, 0), QItemSelectionModel::Select);
    find<QToolButton>("DelFile")->click();
    EXPECT_EQ(listed(), QStringList({"b.wav"}));
    EXPECT_EQ(frm->document().images()[0].file, "a.bmp");

    clear->click();
    EXPECT_EQ(listed(), QStringList());
    EXPECT_FALSE(find<QLabel>("Image")->isVisibleTo(frm.get()));
    frm->TimerTimer();
    EXPECT_FALSE(clear->isEnabled());

    frm->UndoExecute();
    frm->UndoExecute();
    EXPECT_EQ(listed(), QStringList({"a.bmp", "b.wav", "c.png"}));
    frm->RedoExecute();
    EXPECT_EQ(listed(), QStringList({"b.wav"}));
    EXPECT_TRUE(prompter.errors.empty());
}

}  // namespace
