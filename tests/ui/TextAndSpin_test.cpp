// Bytes shown and stored as Latin-1, characters without a byte refused, and
// the spin buttons bound to their edits.
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "tests/ui/MainWindowFixture.h"
#include "ui/ObjectListModel.h"
#include "ui/UpDownButton.h"

namespace {

using qel::ui::UpDownButton;

TEST_F(MainWindowTest, OutFileKeepsEveryHighByteThroughSaveAndOpen)
{
    std::string bytes;
    QString text;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        bytes += static_cast<char>(byte);
        text += QChar(byte);
    }
    auto* edit = find<QLineEdit>("eOutFile");
    edit->insert(text);
    EXPECT_EQ(frm->document().outFile(), bytes);
    EXPECT_TRUE(frm->session().modified());

    prompter.saveAnswers.push_back(path("high.ini"));
    frm->SaveAsExecute();
    EXPECT_EQ(readFile(path("high.ini")), "OutFile=" + bytes + "\r\n\r\n");

    frm->NewExecute();
    EXPECT_EQ(edit->text(), "");
    open(path("high.ini"));
    EXPECT_EQ(edit->text(), text);
    EXPECT_EQ(frm->document().outFile(), bytes);
    EXPECT_TRUE(prompter.errors.empty());
}

TEST_F(MainWindowTest, AnOutFileOfAnyLengthSurvivesOpenEditAndSave)
{
    const std::string name(40000, 'n');
    writeFile(path("long.ini"), "OutFile=" + name + "\r\n\r\n");
    open(path("long.ini"));
    auto* edit = find<QLineEdit>("eOutFile");
    EXPECT_EQ(edit->text().size(), 40000);
    edit->end(false);
    edit->insert(QStringLiteral("x"));
    EXPECT_EQ(frm->document().outFile(), name + "x");
    frm->SaveExecute();
    EXPECT_EQ(readFile(path("long.ini")), "OutFile=" + name + "x\r\n\r\n");
}

TEST_F(MainWindowTest, OutFileRefusesCharactersWithoutASingleByte)
{
    const struct {
        QString typed;
        QString shown;
    } cases[] = {
        {QString::fromUtf8("\u20AC"), QString::fromUtf8("\u20AC")},
        {QString::fromUtf8("x\u0100y"), QString::fromUtf8("\u0100")},
        {QString::fromUtf8("\U0001F600"), QString::fromUtf8("\U0001F600")},
    };
    auto* edit = find<QLineEdit>("eOutFile");
    QTest::keyClicks(edit, "ab");
    ASSERT_EQ(frm->document().outFile(), "ab");
    frm->session().history().setClean();
    for (const auto& c : cases) {
        prompter.errors.clear();
        edit->setCursorPosition(1);
        edit->insert(c.typed);
        EXPECT_EQ(prompter.errors,
                  std::vector<QString>({"The character '" + c.shown + "' cannot be stored in a definition file."}));
        EXPECT_EQ(edit->text(), "ab");
        EXPECT_EQ(edit->cursorPosition(), 1);
        EXPECT_EQ(frm->document().outFile(), "ab");
        EXPECT_FALSE(frm->session().modified());
    }
}

TEST_F(MainWindowTest, SpinButtonsStepTheirEditsWithinTheirRange)
{
    const struct {
        const char* upDown;
        const char* start;
        UpDownButton::Direction direction;
        const char* shown;
        int proposed;
        bool moved;
    } cases[] = {
        {"DsplyTimeUpDown", "990", UpDownButton::Direction::Up, "1000", 1000, true},
        {"ImageTimeUpDown", "0", UpDownButton::Direction::Up, "10", 10, true},
        {"ImageTimeUpDown", "95", UpDownButton::Direction::Down, "85", 85, true},
        {"ImageXUpDown", "0", UpDownButton::Direction::Down, "0", -1, false},
        {"ImageYUpDown", "32000", UpDownButton::Direction::Up, "32000", 32001, false},
        {"ImageYUpDown", "31999", UpDownButton::Direction::Up, "32000", 32000, true},
        {"ObjectIDUpDown", "99", UpDownButton::Direction::Up, "100", 100, true},
        {"ObjectIDUpDown", "100", UpDownButton::Direction::Up, "100", 101, false},
        // A typed number above the maximum counts as the maximum.
        {"ObjectIDUpDown", "150", UpDownButton::Direction::Down, "99", 99, true},
        {"ImageXUpDown", " 7", UpDownButton::Direction::Up, "8", 8, true},
        {"ImageXUpDown", "$10", UpDownButton::Direction::Up, "17", 17, true},
    };
    for (const auto& c : cases) {
        auto* upDown = find<UpDownButton>(c.upDown);
        ASSERT_NE(upDown, nullptr);
        upDown->buddy()->setText(c.start);
        QSignalSpy changing(upDown, &UpDownButton::changingEx);
        QSignalSpy clicked(upDown, &UpDownButton::clicked);
        upDown->stepBy(c.direction);
        EXPECT_EQ(upDown->buddy()->text(), c.shown) << c.upDown << " " << c.start;
        ASSERT_EQ(changing.size(), 1);
        EXPECT_EQ(changing[0][0].toInt(), c.proposed) << c.upDown << " " << c.start;
        EXPECT_EQ(clicked.size(), c.moved ? 1 : 0) << c.upDown << " " << c.start;
    }
}

TEST_F(MainWindowTest, SpinButtonKeepsItsValueWhenTheEditHoldsNoNumber)
{
    auto* upDown = find<UpDownButton>("DsplyTimeUpDown");
    upDown->buddy()->setText("40");
    upDown->stepBy(UpDownButton::Direction::Up);
    upDown->buddy()->setText("abc");
    upDown->stepBy(UpDownButton::Direction::Up);
    EXPECT_EQ(upDown->buddy()->text(), "60");
    // A larger number can still be typed into the edit.
    auto* id = find<QLineEdit>("eObjectID");
    id->clear();
    QTest::keyClicks(id, "250");
    EXPECT_EQ(id->text(), "250");
    // The arrow keys in the edit step like the arrows.
    QTest::keyClick(find<QLineEdit>("eObjectDsplyTime"), Qt::Key_Down);
    EXPECT_EQ(upDown->buddy()->text(), "50");
}

TEST_F(MainWindowTest, SpinButtonArrowsAnswerTheMouse)
{
    frm->show();
    auto* upDown = find<UpDownButton>("ImageTimeUpDown");
    upDown->buddy()->setText("20");
    QTest::mouseClick(upDown, Qt::LeftButton, {}, QPoint(upDown->width() / 2, 2));
    EXPECT_EQ(upDown->buddy()->text(), "30");
    QTest::mouseClick(upDown, Qt::LeftButton, {}, QPoint(upDown->width() / 2, upDown->height() - 2));
    EXPECT_EQ(upDown->buddy()->text(), "20");
}

}  // namespace
