// New, Open, Save and Save As through the window, with answered dialogs.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include "tests/ui/MainWindowFixture.h"
#include "ui/ObjectListModel.h"

namespace {

using qel::ui::SaveChangesAnswer;

const std::string kEmptyDefinition = "OutFile=\r\n\r\n";

QString title(const QString& name)
{
    return name + " - QEL v2 [Tarnwick]";
}

TEST_F(MainWindowTest, SaveOfANewDocumentAsksForANameAndCancelWritesNothing)
{
    frm->NewExecute();
    prompter.saveAnswers.push_back(QString());
    frm->SaveExecute();
    EXPECT_EQ(prompter.saveFilters, std::vector<QString>({"INI-File (*.ini)"}));
    EXPECT_TRUE(filesInDir().isEmpty());
    EXPECT_EQ(frm->windowTitle(), "QEL v2 [Tarnwick]");
    EXPECT_EQ(find<QLabel>("StatusPanel")->text(), "");
    EXPECT_TRUE(prompter.errors.empty());
}

TEST_F(MainWindowTest, SaveAsAddsIniOnlyToNamesWithoutExtension)
{
    const struct {
        const char* chosen;
        const char* written;
    } cases[] = {
        {"defs", "defs.ini"},     {"defs.txt", "defs.txt"},         {"defs.", "defs."},
        {"defs.INI", "defs.INI"}, {"with space", "with space.ini"},
    };
    for (const auto& c : cases) {
        prompter.saveAnswers.push_back(path(c.chosen));
        frm->SaveAsExecute();
        const QString written = path(c.written);
        EXPECT_EQ(readFile(written), kEmptyDefinition) << c.chosen;
        EXPECT_EQ(frm->windowTitle(), title(c.written)) << c.chosen;
        EXPECT_EQ(find<QLabel>("StatusPanel")->text(), written) << c.chosen;
        EXPECT_EQ(QString::fromStdString(frm->document().documentFolder()), dir.path() + '/') << c.chosen;
        QFile::remove(written);
    }
    EXPECT_TRUE(prompter.errors.empty());
}

TEST_F(MainWindowTest, SaveAsOverAnExistingFileAsksFirst)
{
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace ? "Yes" : "No");
        const std::string old = "old content that is longer than the new one\r\n";
        writeFile(path("defs.ini"), old);
        find<QLineEdit>("eOutFile")->setText("pack.pkg");
        find<QLineEdit>("eOutFile")->textEdited("pack.pkg");
        prompter.confirmations.clear();
        prompter.confirmAnswers.push_back(replace);
        prompter.saveAnswers.push_back(path("defs.ini"));
        frm->SaveAsExecute();
        EXPECT_EQ(prompter.confirmations, std::vector<QString>({"defs.ini already exists. Replace it?"}));
        EXPECT_EQ(readFile(path("defs.ini")), replace ? "OutFile=pack.pkg\r\n\r\n" : old);
        EXPECT_EQ(frm->session().modified(), !replace);
        EXPECT_TRUE(prompter.saveQuestions.empty());
    }
}

TEST_F(MainWindowTest, OpenShowsTheFileAndSaveRewritesItInTheWriterLayout)
{
    writeFile(path("defs.ini"),
              "outfile=pack.pkg\nfile=ship.bmp\n[ObjectImages]\nimage007=ship.bmp,4,2,100\n"
              "[MapObjects]\n10,20,image7,aftertiles\n 5,0x10,IMAGE7\n[screenobjects]\nC-10,abc,IMAGE7\n");
    open(path("defs.ini"));
    EXPECT_EQ(prompter.openFilters, std::vector<QString>({"INI-Files (*.ini)"}));
    EXPECT_TRUE(prompter.errors.empty());
    EXPECT_EQ(frm->windowTitle(), title("defs.ini"));
    EXPECT_EQ(find<QLabel>("StatusPanel")->text(), path("defs.ini"));
    EXPECT_EQ(find<QLineEdit>("eOutFile")->text(), "pack.pkg");
    EXPECT_FALSE(frm->session().modified());

    const auto rows = [](QAbstractItemView* view) {
        QStringList texts;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            texts << view->model()->index(row, 0).data().toString();
        return texts;
    };
    EXPECT_EQ(rows(find<QListView>("FileList")), QStringList({"ship.bmp"}));
    EXPECT_EQ(rows(find<QAbstractItemView>("MapObjectList")),
              QStringList({"10,20,image7,aftertiles", " 5,0x10,IMAGE7"}));
    EXPECT_EQ(rows(find<QAbstractItemView>("ScreenObjectList")), QStringList({"C-10,abc,IMAGE7"}));
    auto* images = find<QComboBox>("ImageBox");
    ASSERT_EQ(images->count(), 1);
    EXPECT_EQ(images->itemText(0), "IMAGE7");
    EXPECT_EQ(images->currentIndex(), -1);
    EXPECT_EQ(images->currentText(), "IMAGE#");

    frm->SaveExecute();
    EXPECT_TRUE(prompter.saveFilters.empty());
    EXPECT_EQ(readFile(path("defs.ini")),
              "OutFile=pack.pkg\r\n\r\nFile=ship.bmp\r\n\r\n[objectimages]\r\nIMAGE7=ship.bmp,4,2,100\r\n"
              "\r\n[mapobjects]\r\n10,20,image7,aftertiles\r\n 5,0x10,IMAGE7\r\n"
              "\r\n[screenobjects]\r\nC-10,abc,IMAGE7\r\n");
    EXPECT_EQ(frm->windowTitle(), title("defs.ini"));
}

TEST_F(MainWindowTest, CancelledOpenKeepsEverything)
{
    prompter.saveAnswers.push_back(path("first.ini"));
    frm->SaveAsExecute();
    find<QLineEdit>("eOutFile")->insert("kept");
    prompter.saveChangesAnswers.push_back(SaveChangesAnswer::No);
    open(QString());
    EXPECT_EQ(frm->windowTitle(), '*' + title("first.ini"));
    EXPECT_EQ(find<QLabel>("StatusPanel")->text(), path("first.ini"));
    EXPECT_EQ(frm->document().outFile(), "kept");
    EXPECT_EQ(find<QLineEdit>("eOutFile")->text(), "kept");
}

TEST_F(MainWindowTest, NewResetsEveryControl)
{
    writeFile(path("defs.ini"), "OutFile=x\n[objectimages]\nIMAGE0=a.bmp\n[mapobjects]\n1,2,IMAGE0\n");
    open(path("defs.ini"));
    find<QLineEdit>("eImageX")->setText("7");
    find<QLineEdit>("eObjectX")->setText("80");
    find<QComboBox>("ObjectLayerBox")->setCurrentIndex(3);
    find<QComboBox>("ObjectsBox")->setCurrentIndex(1);
    find<QAbstractItemView>("MapObjectList")->hide();
    find<QAbstractItemView>("ScreenObjectList")->show();

    frm->NewExecute();
    EXPECT_TRUE(prompter.saveQuestions.empty());  // unchanged since opened
    EXPECT_EQ(frm->windowTitle(), "QEL v2 [Tarnwick]");
    EXPECT_EQ(find<QLabel>("StatusPanel")->text(), "");
    EXPECT_EQ(frm->document().currentFile(), "");
    EXPECT_EQ(frm->document().documentFolder(), "");
    EXPECT_EQ(frm->mapObjectModel()->rowCount(), 0);
    EXPECT_EQ(find<QComboBox>("ImageBox")->count(), 0);
    // After New the kind box has its first entry chosen (at start-up none).
    EXPECT_EQ(find<QComboBox>("ObjectsBox")->currentIndex(), 0);
    EXPECT_EQ(find<QComboBox>("ObjectsBox")->currentText(), "MapObjects");
    EXPECT_TRUE(find<QAbstractItemView>("MapObjectList")->isVisibleTo(frm.get()));
    EXPECT_FALSE(find<QAbstractItemView>("ScreenObjectList")->isVisibleTo(frm.get()));
    EXPECT_FALSE(find<QLabel>("Image")->isVisibleTo(frm.get()));
    for (const char* name : {"eOutFile", "eImageFile", "eObjectX", "eObjectY"})
        EXPECT_EQ(find<QLineEdit>(name)->text(), "") << name;
    for (const char* name : {"eImageX", "eImageY", "eImageTime", "eObjectDsplyTime", "eObjectID"})
        EXPECT_EQ(find<QLineEdit>(name)->text(), "0") << name;
    for (const auto& [name, text] : {std::pair{"ImageBox", "IMAGE#"},
                                     {"ObjectImageBox", "IMAGE#"},
                                     {"ObjectLayerBox", "Layer"},
                                     {"ObjectModeBox", "Mode"}}) {
        EXPECT_EQ(find<QComboBox>(name)->currentIndex(), -1) << name;
        EXPECT_EQ(find<QComboBox>(name)->currentText(), text) << name;
    }
    EXPECT_FALSE(frm->session().modified());
}

TEST_F(MainWindowTest, FailedOpenReturnsToUntitledAndKeepsWhatWasRead)
{
    const struct {
        const char* file;
        const char* content;
        const char* message;
        int mapRows;
    } cases[] = {
        {"bad.ini", "OutFile=x.pkg\n[mapobjects]\n10,20,IMAGE1\nabc,1,IMAGE1\n5,5,IMAGE1\n",
         "'abc' is not a valid integer value.", 2},
        {"trailing.ini", "[mapobjects]\n10,20,IMAGE1,BelowAll,\n", "'' is not a valid integer value.", 1},
        {"missing.ini", nullptr, "File not found.", 0},
    };
    for (const auto& c : cases) {
        prompter.errors.clear();
        if (c.content)
            writeFile(path(c.file), c.content);
        open(path(c.file));
        ASSERT_EQ(prompter.errors.size(), 1u) << c.file;
        EXPECT_EQ(prompter.errors[0], c.message) << c.file;
        EXPECT_EQ(frm->windowTitle(), "QEL v2 [Tarnwick]") << c.file;
        EXPECT_EQ(find<QLabel>("StatusPanel")->text(), "") << c.file;
        EXPECT_EQ(frm->document().currentFile(), "") << c.file;
        EXPECT_EQ(frm->mapObjectModel()->rowCount(), c.mapRows) << c.file;
    }
    writeFile(path("bad.ini"), "OutFile=x.pkg\n[mapobjects]\n10,20,IMAGE1\nabc,1,IMAGE1\n");
    open(path("bad.ini"));
    EXPECT_EQ(find<QLineEdit>("eOutFile")->text(), "x.pkg");
    // A later Save asks for a name instead of overwriting the file.
    prompter.saveAnswers.push_back(QString());
    frm->SaveExecute();
    EXPECT_EQ(prompter.saveFilters.size(), 1u);
    EXPECT_EQ(readFile(path("bad.ini")), "OutFile=x.pkg\n[mapobjects]\n10,20,IMAGE1\nabc,1,IMAGE1\n");
}

TEST_F(MainWindowTest, FailedSaveShowsTheErrorAndNamesTheFileItTried)
{
    find<QLineEdit>("eOutFile")->insert("x");
    const QString target = path("no-such-folder/defs.ini");
    prompter.saveAnswers.push_back(target);
    frm->SaveAsExecute();
    EXPECT_EQ(prompter.errors, std::vector<QString>({"File not found."}));
    EXPECT_EQ(frm->windowTitle(), '*' + title("defs.ini"));
    EXPECT_EQ(find<QLabel>("StatusPanel")->text(), target);
    EXPECT_TRUE(frm->session().modified());
}

// Unsaved changes: what each answer does for New, Open and closing.
TEST_F(MainWindowTest, ChangedDocumentAsksBeforeItIsDiscarded)
{
    enum class Command { New, Open, Close, Exit };
    const struct {
        Command command;
        SaveChangesAnswer answer;
        bool named;         // the changed document has a file
        bool saveDialogOk;  // the answer to the save dialog, when one is shown
        bool discarded;
        bool saved;
    } cases[] = {
        {Command::New, SaveChangesAnswer::Cancel, false, false, false, false},
        {Command::New, SaveChangesAnswer::No, false, false, true, false},
        {Command::New, SaveChangesAnswer::Yes, false, true, true, true},
        {Command::New, SaveChangesAnswer::Yes, false, false, false, false},
        {Command::New, SaveChangesAnswer::Yes, true, false, true, true},
        {Command::Open, SaveChangesAnswer::Cancel, true, false, false, false},
        {Command::Open, SaveChangesAnswer::No, true, false, true, false},
        {Command::Open, SaveChangesAnswer::Yes, true, false, true, true},
        {Command::Close, SaveChangesAnswer::Cancel, true, false, false, false},
        {Command::Close, SaveChangesAnswer::No, true, false, true, false},
        {Command::Close, SaveChangesAnswer::Yes, false, true, true, true},
        {Command::Close, SaveChangesAnswer::Yes, false, false, false, false},
        {Command::Exit, SaveChangesAnswer::Cancel, false, false, false, false},
        {Command::Exit, SaveChangesAnswer::Yes, true, false, true, true},
    };
    writeFile(path("other.ini"), "OutFile=other\n");
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(index++);
        frm = std::make_unique<TMainFrm>(prompter, store, launcher);
        frm->CreateDialogs();
        frm->show();
        prompter = FakePrompter();
        QFile::remove(path("defs.ini"));
        if (c.named) {
            prompter.saveAnswers.push_back(path("defs.ini"));
            frm->SaveAsExecute();
        }
        QTest::keyClicks(find<QLineEdit>("eOutFile"), "typed");
        ASSERT_TRUE(frm->session().modified());

        prompter.saveChangesAnswers.push_back(c.answer);
        if (c.answer == SaveChangesAnswer::Yes && !c.named)
            prompter.saveAnswers.push_back(c.saveDialogOk ? path("defs.ini") : QString());
        switch (c.command) {
        case Command::New:
            frm->NewExecute();
            break;
        case Command::Open:
            open(path("other.ini"));
            break;
        case Command::Close:
            frm->close();
            break;
        case Command::Exit:
            frm->findChild<QAction*>("Exit")->trigger();
            break;
        }
        EXPECT_EQ(prompter.saveQuestions,
                  std::vector<QString>({c.named ? "Save changes to defs.ini?" : "Save changes to Untitled?"}));
        EXPECT_TRUE(prompter.errors.empty());
        const bool closing = c.command == Command::Close || c.command == Command::Exit;
        if (closing) {
            EXPECT_EQ(frm->isVisible(), !c.discarded);
        } else {
            EXPECT_EQ(frm->document().outFile() == "typed", !c.discarded);
        }
        if (c.command == Command::Open) {
            // No open dialog after Cancel; the other file after No or Yes.
            EXPECT_EQ(prompter.openFilters.empty(), !c.discarded);
            if (c.discarded) {
                EXPECT_EQ(frm->document().outFile(), "other");
            }
        }
        EXPECT_EQ(readFile(path("defs.ini")) == "OutFile=typed\r\n\r\n", c.saved);
    }
}

TEST_F(MainWindowTest, YesWithAFailedSaveKeepsEverything)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    prompter.saveAnswers.push_back(path("sub/defs.ini"));
    frm->SaveAsExecute();
    find<QLineEdit>("eOutFile")->insert("unsaved");
    ASSERT_TRUE(QDir(path("sub")).removeRecursively());

    prompter.saveChangesAnswers.push_back(SaveChangesAnswer::Yes);
    frm->NewExecute();
    EXPECT_EQ(prompter.errors, std::vector<QString>({"File not found."}));
    EXPECT_EQ(frm->document().outFile(), "unsaved");
    EXPECT_EQ(find<QLineEdit>("eOutFile")->text(), "unsaved");
    EXPECT_EQ(frm->windowTitle(), '*' + title("defs.ini"));
    EXPECT_TRUE(frm->session().modified());
}

TEST_F(MainWindowTest, UnchangedDocumentIsDiscardedWithoutAQuestion)
{
    writeFile(path("a.ini"), "OutFile=a\n");
    writeFile(path("b.ini"), "OutFile=b\n");
    open(path("a.ini"));
    open(path("b.ini"));
    frm->NewExecute();
    frm->show();
    frm->close();
    EXPECT_FALSE(frm->isVisible());
    EXPECT_TRUE(prompter.saveQuestions.empty());
    EXPECT_TRUE(prompter.errors.empty());
}

TEST_F(MainWindowTest, HandlerFailuresGoToTheErrorBoxWithTheFullStopRule)
{
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {
        {"Disk full", "Disk full."},
        {"I/O error 5", "I/O error 5."},
        {"No Compiler selected, select one from the options screen!",
         "No Compiler selected, select one from the options screen!"},
        {"'x' is not a valid integer value", "'x' is not a valid integer value."},
        {"ends in a quote'", "ends in a quote'"},
        {"caf\xE9", "caf\u00E9."},
    };
    for (const auto& c : cases) {
        prompter.errors.clear();
        const bool finished = frm->guarded([&] { throw qel::MessageError(c.message); });
        EXPECT_FALSE(finished);
        EXPECT_EQ(prompter.errors, std::vector<QString>({QString::fromUtf8(c.shown)})) << c.message;
    }
}

TEST_F(MainWindowTest, CompileReportsWhatIsMissingAndSavesBeforeStarting)
{
    frm->CompileExecute();
    EXPECT_EQ(prompter.errors, std::vector<QString>({"No Compiler selected, select one from the options screen!"}));
    frm->settings().setCompilerPathAndStore(path("BuildLevel"));
    prompter.errors.clear();
    frm->CompileExecute();
    EXPECT_EQ(prompter.errors, std::vector<QString>({"Ini not saved or no ini opened!"}));
    EXPECT_TRUE(launcher.calls.empty());
    EXPECT_TRUE(filesInDir().isEmpty());

    prompter.errors.clear();
    prompter.saveAnswers.push_back(path("my defs.ini"));
    frm->SaveAsExecute();
    find<QLineEdit>("eOutFile")->insert("changed");
    frm->CompileExecute();
    EXPECT_TRUE(prompter.errors.empty());
    EXPECT_EQ(readFile(path("my defs.ini")), "OutFile=changed\r\n\r\n");
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_TRUE(launcher.calls[0].arguments.contains(path("my defs.ini")));
    EXPECT_FALSE(frm->session().modified());
}

}  // namespace

TEST_F(MainWindowTest, OpenTellsOnceOfLinesThatWillNotBeSaved)
{
    const struct {
        const char* content;
        const char* information;  // nullptr: no box
    } cases[] = {
        {"OutFile=x\r\n; a comment\r\njunk here\r\n\r\nmore junk\r\n[mapobjects]\r\n1,1,IMAGE0\r\n",
         "2 lines of %1 are not part of the definition and will not be saved (first: line 3)."},
        {"OutFile=x\r\n; only a comment\r\n\r\n[mapobjects]\r\n1,1,IMAGE0\r\n", nullptr},
    };
    for (const auto& c : cases) {
        prompter.informations.clear();
        writeFile(path("i.ini"), c.content);
        open(path("i.ini"));
        if (c.information)
            EXPECT_EQ(prompter.informations,
                      std::vector<QString>({QString::fromLatin1(c.information).arg(path("i.ini"))}));
        else
            EXPECT_TRUE(prompter.informations.empty());
        EXPECT_TRUE(prompter.errors.empty());
    }
}
