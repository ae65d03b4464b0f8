// Files dragged onto the window: drag and drop events sent to it and to its
// controls, as the desktop would send them.
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QUrl>

#include "tests/ui/MainWindowFixture.h"
#include "ui/DropHandler.h"
#include "ui/FileSection.h"

namespace {

using qel::ui::SaveChangesAnswer;

const QString kUntitled = QStringLiteral("QEL v2 [Tarnwick]");
const Qt::DropActions kCopyOrMove = Qt::CopyAction | Qt::MoveAction;

class DropTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        frm->AcceptDrops();
        writeFile(path("defs.ini"), "OutFile=dropped.pkg\r\n\r\n");
    }

    struct Outcome {
        bool entered;
        bool dropped;
        Qt::DropAction action;
    };

    // A drag entering `target` and dropped there; the opening it queues is
    // run before returning.
    Outcome dragOnto(QWidget* target, const QMimeData& data, Qt::DropActions actions = kCopyOrMove)
    {
        QDragEnterEvent enter(QPoint(4, 4), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(4, 4), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        return {enter.isAccepted(), drop.isAccepted(), drop.dropAction()};
    }

    QMimeData* files(const QStringList& names)
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& name : names)
            urls << QUrl::fromLocalFile(path(name));
        data->setUrls(urls);
        return data;
    }

    QString title(const QString& name) const { return name + QStringLiteral(" - ") + kUntitled; }
};

TEST_F(DropTest, TakesOnlyOneDefinitionFileAsACopy)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    writeFile(path("UPPER.INI"), "OutFile=\r\n\r\n");
    auto remote = std::make_unique<QMimeData>();
    remote->setUrls({QUrl(QStringLiteral("https://example.org/defs.ini"))});
    auto text = std::make_unique<QMimeData>();
    text->setText(path("defs.ini"));

    const struct {
        const char* name;
        std::unique_ptr<QMimeData> data;
        Qt::DropActions actions;
        QString openedTitle;  // empty: refused
    } cases[] = {
        {"one definition", std::unique_ptr<QMimeData>(files({"defs.ini"})), kCopyOrMove, title("defs.ini")},
        {"extension in capitals", std::unique_ptr<QMimeData>(files({"UPPER.INI"})), Qt::CopyAction, title("UPPER.INI")},
        {"two definitions", std::unique_ptr<QMimeData>(files({"defs.ini", "UPPER.INI"})), kCopyOrMove, {}},
        {"a picture", std::unique_ptr<QMimeData>(files({"ship.bmp"})), kCopyOrMove, {}},
        {"a folder named like a definition", std::unique_ptr<QMimeData>(files({"folder.ini"})), kCopyOrMove, {}},
        {"a remote definition", std::move(remote), kCopyOrMove, {}},
        {"a definition's name as text", std::move(text), kCopyOrMove, {}},
        // Taken as a move, the source would delete the file afterwards.
        {"a move-only drag", std::unique_ptr<QMimeData>(files({"defs.ini"})), Qt::MoveAction, {}},
    };
    for (const auto& c : cases) {
        frm->ResetDocument();
        const Outcome outcome = dragOnto(frm.get(), *c.data, c.actions);
        const bool taken = !c.openedTitle.isEmpty();
        EXPECT_EQ(outcome.entered, taken) << c.name;
        EXPECT_EQ(outcome.dropped, taken) << c.name;
        if (taken) {
            EXPECT_EQ(outcome.action, Qt::CopyAction) << c.name;
        }
        EXPECT_EQ(frm->windowTitle(), taken ? c.openedTitle : kUntitled) << c.name;
    }
    EXPECT_TRUE(prompter.silent());
}

TEST_F(DropTest, ADropOnAnEditOpensTheFileInsteadOfInsertingItsName)
{
    auto* outFile = find<QLineEdit>("eOutFile");
    std::unique_ptr<QMimeData> data(files({"defs.ini"}));
    data->setText(path("defs.ini"));
    EXPECT_TRUE(dragOnto(outFile, *data).dropped);
    EXPECT_EQ(outFile->text(), QStringLiteral("dropped.pkg"));
    EXPECT_EQ(frm->windowTitle(), title("defs.ini"));
}

TEST_F(DropTest, AChangedDocumentIsAskedAboutFirst)
{
    const struct {
        const char* name;
        SaveChangesAnswer answer;
        QString titleAfter;
    } cases[] = {
        {"cancel keeps the changed document", SaveChangesAnswer::Cancel, '*' + kUntitled},
        {"no opens the dropped file", SaveChangesAnswer::No, title("defs.ini")},
    };
    for (const auto& c : cases) {
        frm->ResetDocument();
        find<QLineEdit>("eOutFile")->insert(QStringLiteral("changed.pkg"));
        prompter.saveChangesAnswers.push_back(c.answer);
        std::unique_ptr<QMimeData> data(files({"defs.ini"}));
        dragOnto(frm.get(), *data);
        ASSERT_EQ(prompter.saveQuestions.size(), 1u) << c.name;
        EXPECT_EQ(prompter.saveQuestions.back(), QStringLiteral("Save changes to Untitled?")) << c.name;
        EXPECT_EQ(frm->windowTitle(), c.titleAfter) << c.name;
        prompter.saveQuestions.clear();
    }
}

TEST_F(DropTest, AMissingFileFailsAsOpenDoes)
{
    std::unique_ptr<QMimeData> data(files({"gone.ini"}));
    EXPECT_TRUE(dragOnto(frm.get(), *data).dropped);
    EXPECT_EQ(prompter.errors, std::vector<QString>({QStringLiteral("File not found.")}));
    EXPECT_EQ(frm->windowTitle(), kUntitled);
}

TEST_F(DropTest, NothingIsTakenWhileADialogIsOpen)
{
    frm->About1Click();
    std::unique_ptr<QMimeData> data(files({"defs.ini"}));
    const Outcome outcome = dragOnto(frm.get(), *data);
    EXPECT_FALSE(outcome.entered);
    EXPECT_FALSE(outcome.dropped);
    EXPECT_EQ(frm->windowTitle(), kUntitled);
}

}  // namespace

TEST_F(DropTest, PicturesAndSoundsDroppedOnTheFileSectionAreAdded)
{
    const struct {
        const char* name;
        QStringList files;
        QStringList listed;  // empty: refused
    } cases[] = {
        {"a picture and a sound", {"ship.BMP", "bell.wa2"}, {"ship.BMP", "bell.wa2"}},
        {"a picture with a definition", {"ship.bmp", "defs.ini"}, {}},
        {"a text file", {"notes.txt"}, {}},
    };
    for (const auto& c : cases) {
        frm->ResetDocument();
        std::unique_ptr<QMimeData> data(files(c.files));
        const Outcome outcome = dragOnto(find<QListView>("FileList")->viewport(), *data);
        EXPECT_EQ(outcome.dropped, !c.listed.isEmpty()) << c.name;
        QStringList listed;
        for (const std::string& file : frm->document().files())
            listed << QString::fromStdString(file);
        EXPECT_EQ(listed, c.listed) << c.name;
    }
    EXPECT_TRUE(prompter.errors.empty());
}
