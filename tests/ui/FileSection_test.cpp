// The file list in the window: adding (and collecting) files, deleting,
// clearing, and a double click that makes an entry the image's file.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QToolButton>

#include "FakeFileOperations.h"
#include "FileNameText.h"
#include "FileSection.h"
#include "MainWindowFixture.h"

namespace {

using qel::platform::FakeFileOperations;

class FileSectionTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        frm->fileSection->UseFileOperations(files);
        ASSERT_TRUE(QDir(dir.path()).mkpath("art"));
        ASSERT_TRUE(QDir(dir.path()).mkpath("defs"));
    }

    void saveAs(const QString& file)
    {
        prompter.saveAnswers.push_back(file);
        frm->SaveAsExecute();
    }

    void addFiles(const QStringList& chosen)
    {
        prompter.openFilesAnswers.push_back(chosen);
        frm->fileSection->AddFileClick();
    }

    QStringList listed() const
    {
        QStringList rows;
        QAbstractItemModel* model = frm->fileSection->FileList->model();
        for (int i = 0; i < model->rowCount(); ++i)
            rows << model->index(i, 0).data().toString();
        return rows;
    }

    void focus(int row)
    {
        QListView* list = frm->fileSection->FileList;
        list->setCurrentIndex(list->model()->index(row, 0));
    }

    static std::string bytes(const QString& path) { return qel::ui::FileNameBytes(path); }

    FakeFileOperations files;
};

TEST_F(FileSectionTest, AddingListsNamesAndCollectsOnlyIntoAKnownFolder)
{
    const struct {
        const char* name;
        bool saved;
        bool collect;
        QStringList chosen;      // under art/
        QStringList already;     // already in defs/, with other bytes
        QStringList failing;     // copies that fail
        QStringList listed;
        QStringList copied;      // now in defs/ with the source's bytes
        const char* message;     // the one error box, if any
    } cases[] = {
        {"CollectsIntoTheFolder", true, true, {"ship.bmp"}, {}, {}, {"ship.bmp"}, {"ship.bmp"}, nullptr},
        {"ThreeAtOnce", true, true, {"a.png", "b.wav", "c"}, {}, {}, {"a.png", "b.wav", "c"}, {"a.png", "b.wav", "c"},
         nullptr},
        {"SameNameThereListsButKeepsIt", true, true, {"ship.bmp"}, {"ship.bmp"}, {}, {"ship.bmp"}, {}, nullptr},
        {"NeverSavedCopiesNothing", false, true, {"ship.bmp"}, {}, {}, {"ship.bmp"}, {}, nullptr},
        {"CollectingOffCopiesNothing", true, false, {"ship.bmp"}, {}, {}, {"ship.bmp"}, {}, nullptr},
        {"FailedCopiesReportedOnceTogether", true, true, {"a.png", "b.png", "c.png"}, {}, {"a.png", "c.png"},
         {"a.png", "b.png", "c.png"}, {"b.png"}, "These files could not be copied to %1: a.png, c.png."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        frm->session().history().setClean();
        frm->NewExecute();
        prompter.errors.clear();
        files.copies.clear();
        QDir defs(path("defs"));
        for (const QString& name : defs.entryList(QDir::Files))
            defs.remove(name);
        if (c.saved)
            saveAs(path("defs/level.ini"));
        frm->settings().setCollectFiles(c.collect);
        QStringList chosen;
        for (const QString& name : c.chosen) {
            writeFile(path("art/" + name), "source " + name.toStdString());
            chosen << path("art/" + name);
        }
        for (const QString& name : c.already)
            writeFile(path("defs/" + name), "kept");
        files.failingTargets.clear();
        for (const QString& name : c.failing)
            files.failingTargets.insert(bytes(path("defs/" + name)));

        addFiles(chosen);

        EXPECT_EQ(listed(), c.listed);
        for (const QString& name : c.chosen) {
            const std::string there = readFile(path("defs/" + name));
            if (c.copied.contains(name))
                EXPECT_EQ(there, "source " + name.toStdString()) << name.toStdString();
            else
                EXPECT_NE(there, "source " + name.toStdString()) << name.toStdString();
        }
        for (const auto& copy : files.copies)
            EXPECT_FALSE(copy.replace);
        if (c.message)
            EXPECT_EQ(prompter.errors, std::vector<QString>({QString::fromLatin1(c.message).arg(path("defs/"))}));
        else
            EXPECT_TRUE(prompter.errors.empty());
    }
}

TEST_F(FileSectionTest, DoubleClickMakesAPictureTheSelectedImagesFile)
{
    const struct {
        const char* name;
        bool imageSelected;
        const char* entry;
        const char* fileBefore;
        std::optional<bool> answer;  // the question is asked when set
        const char* fileAfter;
    } cases[] = {
        {"SoundNeverChangesTheImage", true, "sound.wav", "", std::nullopt, ""},
        {"EmptyFileIsSetWithoutAQuestion", true, "pic.BM2", "", std::nullopt, "pic.BM2"},
        {"ChangeAnsweredYes", true, "b.png", "a.bmp", true, "b.png"},
        {"ChangeAnsweredNo", true, "b.png", "a.bmp", false, "a.bmp"},
        {"SameNameStillAsks", true, "a.bmp", "a.bmp", true, "a.bmp"},
        {"NoImageSelected", false, "b.png", "a.bmp", std::nullopt, "a.bmp"},
    };
    frm->show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string definition = std::string("File=") + c.entry + "\n[objectimages]\nIMAGE0=x.bmp\nIMAGE1=" +
                                       c.fileBefore + "\n";
        writeFile(path("d.ini"), definition);
        open(path("d.ini"));
        prompter.confirmations.clear();
        auto* images = find<QComboBox>("ImageBox");
        images->setCurrentIndex(c.imageSelected ? 1 : -1);
        if (c.answer)
            prompter.confirmAnswers.push_back(*c.answer);
        focus(0);
        QListView* list = frm->fileSection->FileList;
        const QPoint at = list->visualRect(list->currentIndex()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);

        EXPECT_EQ(frm->document().images()[1].file, c.fileAfter);
        if (c.imageSelected) {
            EXPECT_EQ(find<QLineEdit>("eImageFile")->text(), c.fileAfter);
        }
        if (c.answer)
            EXPECT_EQ(prompter.confirmations, std::vector<QString>({QStringLiteral("Change IMAGE1 from '%1' to '%2'?")
                                                                        .arg(c.fileBefore, c.entry)}));
        else
            EXPECT_TRUE(prompter.confirmations.empty());
        if (frm->session().modified())
            frm->session().history().setClean();
    }
}

TEST_F(FileSectionTest, DeleteAndClearLeaveImagesAndFilesAloneAndUndoBringsEntriesBack)
{
    writeFile(path("defs/d.ini"), "File=a.bmp\nFile=b.wav\nFile=c.png\n[objectimages]\nIMAGE0=a.bmp\n");
    writeFile(path("defs/a.bmp"), "a");
    open(path("defs/d.ini"));
    auto* clear = find<QToolButton>("ClearFileList");
    frm->TimerTimer();
    EXPECT_TRUE(clear->isEnabled());

    QListView* list = frm->fileSection->FileList;
    list->selectionModel()->select(list->model()->index(0, 0), QItemSelectionModel::Select);
    list->selectionModel()->select(list->model()->index(2, 0), QItemSelectionModel::Select);
    find<QToolButton>("DelFile")->click();
    EXPECT_EQ(listed(), QStringList({"b.wav"}));
    EXPECT_EQ(frm->document().images()[0].file, "a.bmp");
    EXPECT_EQ(readFile(path("defs/a.bmp")), "a");

    clear->click();
    EXPECT_EQ(listed(), QStringList());
    EXPECT_FALSE(find<QLabel>("Image")->isVisibleTo(frm.get()));
    frm->TimerTimer();
    EXPECT_FALSE(clear->isEnabled());

    frm->UndoExecute();
    EXPECT_EQ(listed(), QStringList({"b.wav"}));
    frm->UndoExecute();
    EXPECT_EQ(listed(), QStringList({"a.bmp", "b.wav", "c.png"}));
    frm->RedoExecute();
    EXPECT_EQ(listed(), QStringList({"b.wav"}));
    EXPECT_TRUE(prompter.errors.empty());
}

}  // namespace
