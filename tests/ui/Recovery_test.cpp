// Nothing lost through the window: unsaved work offered back on Open and at
// start-up, the questions before a save drops lines or replaces a file, and
// the old content an interrupted save left beside a file.

#include <QLabel>
#include <QLineEdit>

#include "app/RecoveryStore.h"
#include "core/io/FileIo.h"
#include "tests/ui/MainWindowFixture.h"

namespace {

class RecoveryWindowTest : public MainWindowTest {
protected:
    // Copies of this test alone, not those other windows of the run left.
    void SetUp() override
    {
        earlier_ = qel::app::RecoveryStore::DefaultFolder();
        qel::app::RecoveryStore::SetStandardFolder(path("recovery"));
        MainWindowTest::SetUp();
        writeFile(path("a.ini"), kSaved);
    }

    void TearDown() override
    {
        frm.reset();
        qel::app::RecoveryStore::SetStandardFolder(earlier_);
    }

    // Types `text` as the out file.
    void type(TMainFrm& window, const QString& text)
    {
        auto* edit = window.findChild<QLineEdit*>(QStringLiteral("eOutFile"));
        edit->setText(text);
        emit edit->textEdited(text);
    }

    // An editor that ends without asking (killed, or its desktop session
    // ended) with `text` typed over the out file of `file` (untitled: empty).
    void leaveUnsavedWork(const QString& file, const QString& text)
    {
        FakePrompter quiet;
        TMainFrm lost(quiet, store, launcher);
        if (!file.isEmpty()) {
            quiet.openAnswers.push_back(file);
            lost.aOpenExecute();
        }
        type(lost, text);
        lost.recovery().writeNow();
        lost.recovery().waitForWrites();
    }

    static constexpr const char* kSaved = "OutFile=saved\r\n";
    QString earlier_;
};

TEST_F(RecoveryWindowTest, UnsavedWorkIsOfferedBackOnOpenAndAtStartUp)
{
    struct Row {
        const char* name;
        bool untitled;
        bool yes;
    };
    const Row rows[] = {
        {"Open, Yes", false, true},
        {"Open, No", false, false},
        {"start-up, Yes", true, true},
        {"start-up, No", true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        leaveUnsavedWork(row.untitled ? QString() : path("a.ini"), QStringLiteral("lost work"));
        prompter.confirmations.clear();
        prompter.confirmAnswers.push_back(row.yes);
        if (row.untitled)
            frm->OfferUntitledRecovery();
        else
            open(path("a.ini"));
        ASSERT_EQ(prompter.confirmations.size(), 1u);
        const QString name = row.untitled ? QStringLiteral("Untitled") : QStringLiteral("a.ini");
        EXPECT_TRUE(prompter.confirmations[0].startsWith(name + " has changes from "));
        EXPECT_EQ(frm->document().outFile(), row.yes ? "lost work" : row.untitled ? "" : "saved");
        EXPECT_EQ(frm->session().modified(), row.yes);
        EXPECT_FALSE(frm->session().canUndo()) << "the recovered work starts an empty history";
        EXPECT_EQ(readFile(path("a.ini")), kSaved) << "nothing written until the user saves";
        EXPECT_EQ(frm->recovery().currentCopy().isEmpty(), !row.yes) << "the copy holds the work until it is saved";
        // Asked once: No removed the copy, Yes made it this editor's own.
        prompter.confirmations.clear();
        frm->OfferUntitledRecovery();
        EXPECT_TRUE(prompter.confirmations.empty());
        if (row.yes) {
            const QString target = path(QString::fromLatin1(row.name) + ".ini");
            prompter.saveAnswers.push_back(target);
            frm->SaveAsExecute();
            EXPECT_EQ(readFile(target), "OutFile=lost work\r\n\r\n");
        }
        frm->NewExecute();
        EXPECT_TRUE(prompter.errors.empty());
    }
}

TEST_F(RecoveryWindowTest, ACopyThatCannotBeReadIsReportedOnceAndNotOffered)
{
    leaveUnsavedWork(path("a.ini"), QStringLiteral("lost work"));
    for (const QString& name : QDir(frm->recovery().folder()).entryList({"*.qelrecovery"}))
        writeFile(frm->recovery().folder() + '/' + name, "QEL recovery 1\nfile 3:");
    open(path("a.ini"));
    ASSERT_EQ(prompter.errors.size(), 1u);
    EXPECT_TRUE(prompter.errors[0].contains(".damaged")) << prompter.errors[0].toStdString();
    open(path("a.ini"));
    EXPECT_EQ(prompter.errors.size(), 1u);
    EXPECT_TRUE(prompter.confirmations.empty());
    EXPECT_EQ(frm->document().outFile(), "saved");
}

TEST_F(RecoveryWindowTest, ClosingWithoutSavingRemovesTheCopy)
{
    open(path("a.ini"));
    type(*frm, QStringLiteral("typed"));
    frm->recovery().writeNow();
    frm->recovery().waitForWrites();
    ASSERT_FALSE(frm->recovery().currentCopy().isEmpty());
    const QString copy = frm->recovery().currentCopy();
    prompter.saveChangesAnswers.push_back(qel::ui::SaveChangesAnswer::No);
    EXPECT_TRUE(frm->close());
    frm.reset();
    EXPECT_FALSE(QFile::exists(copy));
}

TEST_F(RecoveryWindowTest, TheFirstSaveOverAFileWithIgnoredLinesAsksWithNoTheDefault)
{
    const std::string withJunk = "OutFile=x\r\njunk\r\n";
    const QString question = "1 line of j.ini is not part of the definition and will be lost. Save anyway?";
    struct Row {
        const char* name;
        bool saveAs;  // Save As onto the same file instead of Save
        bool yes;
    };
    const Row rows[] = {
        {"Save, No", false, false},
        {"Save, Yes", false, true},
        {"Save As over it, Yes (no second question)", true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        writeFile(path("j.ini"), withJunk);
        if (frm->session().modified())
            prompter.saveChangesAnswers.push_back(qel::ui::SaveChangesAnswer::No);
        open(path("j.ini"));
        EXPECT_EQ(
            prompter.informations.back(),
            "1 line of " + path("j.ini") + " is not part of the definition and will not be saved (first: line 2).");
        type(*frm, QStringLiteral("y"));
        prompter.confirmations.clear();
        prompter.noDefaultConfirmations.clear();
        prompter.confirmAnswers.push_back(row.yes);
        if (row.saveAs) {
            prompter.saveAnswers.push_back(path("j.ini"));
            frm->SaveAsExecute();
        } else {
            frm->SaveExecute();
        }
        EXPECT_EQ(prompter.noDefaultConfirmations, std::vector<QString>({question}));
        EXPECT_EQ(prompter.confirmations.size(), 1u);
        EXPECT_EQ(readFile(path("j.ini")), row.yes ? "OutFile=y\r\n\r\n" : withJunk);
        if (!row.yes)
            continue;
        // Once written, the lines are gone from the file: nothing more to ask.
        type(*frm, QStringLiteral("z"));
        frm->SaveExecute();
        EXPECT_EQ(prompter.confirmations.size(), 1u);
        EXPECT_EQ(readFile(path("j.ini")), "OutFile=z\r\n\r\n");
    }
}

TEST_F(RecoveryWindowTest, OpenOffersTheOldContentAnInterruptedSaveLeft)
{
    for (const bool restore : {false, true}) {
        SCOPED_TRACE(restore ? "Yes" : "No");
        writeFile(path("a.ini"), "OutFile=new half");
        const QString copy = path("a.ini.qel-backup-Ab12Cd");
        writeFile(copy, kSaved);
        prompter.confirmations.clear();
        prompter.confirmAnswers.push_back(restore);
        open(path("a.ini"));
        ASSERT_EQ(prompter.noDefaultConfirmations.size(), 1u);
        prompter.noDefaultConfirmations.clear();
        EXPECT_EQ(prompter.confirmations[0],
                  "A save of a.ini was interrupted, so a.ini may be incomplete. Its previous "
                  "content is in "
                      + copy + ". Put the previous content back?");
        EXPECT_EQ(frm->document().outFile(), restore ? "saved" : "new half");
        EXPECT_EQ(QFile::exists(copy), !restore);
        QFile::remove(copy);
    }
    EXPECT_TRUE(prompter.errors.empty());
}

TEST_F(RecoveryWindowTest, UnprotectedWorkIsToldInTheStatusBarUntilACopyIsWrittenAndInABoxOncePerDocument)
{
    const QString folder = qel::app::RecoveryStore::DefaultFolder();
    auto* status = find<QLabel>("RecoveryStatus");
    const auto typeAndWrite = [&](const char* text) {
        type(*frm, QString::fromLatin1(text));
        frm->recovery().writeNow();
        frm->recovery().waitForWrites();
        return status->isVisibleTo(frm.get()) ? status->text() : QString();
    };
    const QString full = "Unsaved work is not protected: " + folder + ": Disk full";
    qel::SetWriteCall([](int, const void*, std::size_t) -> ssize_t { return errno = ENOSPC, -1; });
    EXPECT_EQ(typeAndWrite("a"), full);
    EXPECT_EQ(typeAndWrite("b"), full) << "tried again after the next change";
    qel::SetWriteCall(nullptr);
    EXPECT_EQ(typeAndWrite("c"), QString()) << "a copy was written";
    EXPECT_EQ(prompter.errors, std::vector<QString>({full + "."}));
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::Permissions(0x7755)));  // 0755
    prompter.saveChangesAnswers.push_back(qel::ui::SaveChangesAnswer::No);
    frm->NewExecute();
    EXPECT_EQ(typeAndWrite("d"), "Unsaved work is not protected: " + folder + " has permissions 0755 instead of 0700");
    EXPECT_EQ(prompter.errors.size(), 2u) << "told once more for the new document";
}

}  // namespace
