// The three dialogs: shown without blocking, the main window disabled until
// they close by any means.
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "tests/ui/MainWindowFixture.h"
#include "ui/TAboutFrm.h"
#include "ui/TOptnsForm.h"
#include "ui/TSortFrm.h"

namespace {

TEST_F(MainWindowTest, DialogsDisableTheWindowUntilTheyClose)
{
    frm->show();
    enum class Closing { Hide, TitleBar };
    const struct {
        const char* name;
        void (TMainFrm::*open)();
        QDialog* (*dialog)(TMainFrm&);
    } dialogs[] = {
        {"Sort", &TMainFrm::SortObjectsClick, [](TMainFrm& f) -> QDialog* { return f.SortFrm(); }},
        {"Options", &TMainFrm::Options1Click, [](TMainFrm& f) -> QDialog* { return f.OptnsForm(); }},
        {"About", &TMainFrm::About1Click, [](TMainFrm& f) -> QDialog* { return f.AboutFrm(); }},
    };
    for (const auto& d : dialogs) {
        for (Closing closing : {Closing::Hide, Closing::TitleBar}) {
            SCOPED_TRACE(d.name);
            QDialog* dialog = d.dialog(*frm);
            ASSERT_NE(dialog, nullptr);
            // The window manager reads whose dialog it is as it appears.
            dialog->winId();
            QWindow* seen = nullptr;
            const auto watch = QObject::connect(dialog->windowHandle(), &QWindow::visibleChanged, [&](bool on) {
                seen = on ? dialog->windowHandle()->transientParent() : seen;
            });
            (frm.get()->*d.open)();
            QObject::disconnect(watch);
            EXPECT_EQ(seen, frm->windowHandle());
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_TRUE(dialog->isEnabled());
            EXPECT_FALSE(dialog->isModal());
            EXPECT_FALSE(frm->isEnabled());
            EXPECT_FALSE(frm->centralWidget()->isEnabled());

            // The window takes no input meanwhile: closing it is refused too.
            EXPECT_FALSE(frm->close());
            EXPECT_TRUE(frm->isVisible());

            if (closing == Closing::Hide)
                dialog->hide();
            else
                dialog->close();
            EXPECT_FALSE(dialog->isVisible());
            EXPECT_TRUE(frm->isEnabled());
        }
    }
    EXPECT_TRUE(prompter.errors.empty());
}

TEST_F(MainWindowTest, SortDialogChoosesTheKindFromTheWindow)
{
    TSortFrm* sort = frm->SortFrm();
    auto* map = sort->findChild<QRadioButton*>("SortMapObjects");
    auto* screen = sort->findChild<QRadioButton*>("SortScreenObjects");
    ASSERT_TRUE(map && screen);
    // Nothing to sort yet: both kinds disabled, the map kind still checked.
    frm->SortObjectsClick();
    EXPECT_TRUE(map->isChecked());
    EXPECT_FALSE(screen->isChecked());
    EXPECT_FALSE(map->isEnabled());
    EXPECT_FALSE(screen->isEnabled());
    EXPECT_EQ(sort->sortKeyIndex(), -1);
    sort->close();

    writeFile(path("defs.ini"), "[screenobjects]\n1,2,IMAGE0\n");
    open(path("defs.ini"));
    const struct {
        int objectsBoxIndex;
        bool screenChecked;
    } cases[] = {{-1, false}, {0, false}, {1, true}};
    for (const auto& c : cases) {
        auto* kinds = find<QComboBox>("ObjectsBox");
        kinds->setCurrentIndex(c.objectsBoxIndex);
        frm->SortObjectsClick();
        EXPECT_EQ(screen->isChecked(), c.screenChecked) << c.objectsBoxIndex;
        EXPECT_EQ(map->isChecked(), !c.screenChecked) << c.objectsBoxIndex;
        EXPECT_FALSE(map->isEnabled());
        EXPECT_TRUE(screen->isEnabled());
        sort->close();
    }
}

TEST_F(MainWindowTest, SortButtonAsksForTheSortAndCloses)
{
    writeFile(path("defs.ini"), "[mapobjects]\n1,2,IMAGE0\n[screenobjects]\n1,2,IMAGE0\n");
    open(path("defs.ini"));
    TSortFrm* sort = frm->SortFrm();
    QSignalSpy requested(sort, &TSortFrm::sortRequested);
    auto* items = sort->findChild<QGroupBox*>("SortByRadio");
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(items->title(), "Sort by:");
    const QList<QRadioButton*> keys = items->findChildren<QRadioButton*>();
    ASSERT_EQ(keys.size(), 7);
    QStringList captions;
    for (QRadioButton* key : keys)
        captions << key->text();
    EXPECT_EQ(captions, QStringList({"X-Coord", "Y-Coord", "Image", "Layer", "Mode", "Display Time", "Object ID"}));
    // Two columns filled top to bottom, the first four on the left.
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(keys[i]->x(), keys[0]->x());
    for (int i = 5; i < 7; ++i)
        EXPECT_EQ(keys[i]->x(), keys[4]->x());
    EXPECT_GT(keys[4]->x(), keys[0]->x());
    EXPECT_EQ(keys[4]->y(), keys[0]->y());

    frm->SortObjectsClick();
    keys[5]->click();
    sort->findChild<QToolButton*>("Sort")->click();
    EXPECT_FALSE(sort->isVisible());
    EXPECT_TRUE(frm->isEnabled());
    // The dialog is only hidden: the key carries over to the next showing.
    frm->SortObjectsClick();
    EXPECT_EQ(sort->sortKeyIndex(), 5);
    sort->findChild<QRadioButton*>("SortScreenObjects")->click();
    EXPECT_FALSE(sort->findChild<QRadioButton*>("SortMapObjects")->isChecked());
    sort->findChild<QToolButton*>("Sort")->click();

    ASSERT_EQ(requested.size(), 2);
    EXPECT_EQ(requested[0][0].value<qel::ObjectKind>(), qel::ObjectKind::Map);
    EXPECT_EQ(requested[0][1].toInt(), 5);
    EXPECT_EQ(requested[1][0].value<qel::ObjectKind>(), qel::ObjectKind::Screen);
    EXPECT_EQ(requested[1][1].toInt(), 5);
    EXPECT_FALSE(sort->isVisible());
    EXPECT_TRUE(frm->isEnabled());
}

// The About box: its Close button reports closing, and no text is cut off
// with the font in use.
TEST(AboutDialogTest, CloseButtonClosesAndNothingIsCutOff)
{
    TAboutFrm box;
    QSignalSpy closed(&box, &TAboutFrm::closed);
    box.show();
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    for (QWidget* child : box.findChildren<QWidget*>()) {
        EXPECT_TRUE(box.rect().contains(child->geometry())) << child->objectName().toStdString();
        EXPECT_GE(child->width(), child->minimumSizeHint().width()) << child->objectName().toStdString();
        EXPECT_GE(child->height(), child->minimumSizeHint().height()) << child->objectName().toStdString();
    }
    auto* close = box.findChild<QPushButton*>("bClose");
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(closed.count(), 1);
}

// A question nobody's widget asks stays above the active window.
TEST(PrompterTest, AQuestionWithoutParentIsADialogOfTheActiveWindow)
{
    QWidget window;
    window.show();
    window.activateWindow();
    QCoreApplication::processEvents();
    QTimer::singleShot(0, [&] {
        auto* box = static_cast<QDialog*>(QApplication::activeModalWidget());
        EXPECT_EQ(box->windowHandle()->transientParent(), window.windowHandle());
        box->reject();
    });
    qel::ui::QtPrompter().confirm(nullptr, QStringLiteral("Go on?"));
}

}  // namespace
