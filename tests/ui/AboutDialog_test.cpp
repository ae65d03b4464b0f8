// The About box: its texts, and both ways of closing it.

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <functional>

#include "TAboutFrm.h"

namespace {

QString LabelText(TAboutFrm& box, const char* name)
{
    auto* label = box.findChild<QLabel*>(QString::fromLatin1(name));
    EXPECT_NE(label, nullptr) << name;
    return label ? label->text() : QString();
}

TEST(AboutDialogTest, ShowsTheVersionAndContacts)
{
    TAboutFrm box;
    box.show();
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About..."));
    EXPECT_EQ(LabelText(box, "AboutLabel"), QStringLiteral("QEL v2.2"));
    EXPECT_TRUE(box.findChild<QLabel*>("AboutLabel")->font().bold());
    EXPECT_EQ(LabelText(box, "AboutLabel4").split(u'\n').size(), 2);

    const QStringList contact = LabelText(box, "AboutLabel2").split(u'\n');
    ASSERT_EQ(contact.size(), 5);
    EXPECT_EQ(contact[0], QStringLiteral("Plese submit ideas, presets and feedback"));
    EXPECT_TRUE(contact[1].isEmpty());
    for (int i = 2; i < 5; ++i)
        EXPECT_FALSE(contact[i].isEmpty());

    EXPECT_EQ(LabelText(box, "AboutLabel3"), QStringLiteral("Source-code is avaible on request..."));
    auto* close = box.findChild<QPushButton*>("bClose");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QStringLiteral("Close"));

    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_GE(box.width(), 215);
    EXPECT_GE(box.height(), 207);
    EXPECT_TRUE(box.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    // Nothing is cut off with the font in use.
    for (QWidget* child : box.findChildren<QWidget*>()) {
        EXPECT_TRUE(box.rect().contains(child->geometry())) << child->objectName().toStdString();
        EXPECT_GE(child->width(), child->minimumSizeHint().width()) << child->objectName().toStdString();
        EXPECT_GE(child->height(), child->minimumSizeHint().height()) << child->objectName().toStdString();
    }
}

TEST(AboutDialogTest, CloseAndTitleBarBothReportClosing)
{
    TAboutFrm box;
    QSignalSpy closed(&box, &TAboutFrm::closed);
    const std::function<void()> closers[] = {
        [&] { QTest::mouseClick(box.findChild<QPushButton*>("bClose"), Qt::LeftButton); },
        [&] { box.windowHandle()->close(); },
    };
    int expected = 0;
    for (const auto& close : closers) {
        box.show();
        ASSERT_TRUE(box.isVisible());
        close();
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(closed.count(), ++expected);
    }
}

}  // namespace
