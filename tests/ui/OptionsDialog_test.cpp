// The Options dialog over the settings: filling from memory at every showing,
// OK, Cancel, the title bar, the compiler picker, and a store that fails.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include "app/AppSettings.h"
#include "platform/SettingsStore.h"
#include "tests/fakes/FakeSettingsStore.h"
#include "ui/Prompter.h"
#include "ui/TOptnsForm.h"

using qel::app::AppSettings;
using qel::platform::FakeSettingsStore;

namespace {

class AnsweringPrompter : public qel::ui::Prompter {
public:
    QStringList errors;
    QStringList openFilters;
    QString openAnswer;

    void error(QWidget*, const QString& message) override { errors << message; }
    void information(QWidget*, const QString&) override { ADD_FAILURE() << "unexpected information"; }
    bool confirm(QWidget*, const QString&) override
    {
        ADD_FAILURE() << "unexpected confirmation";
        return false;
    }
    qel::ui::SaveChangesAnswer askSaveChanges(QWidget*, const QString&) override
    {
        ADD_FAILURE() << "unexpected question";
        return qel::ui::SaveChangesAnswer::Cancel;
    }
    QString openFile(QWidget*, const QString& filter) override
    {
        openFilters << filter;
        return openAnswer;
    }
    QStringList openFiles(QWidget*, const QString&) override
    {
        ADD_FAILURE() << "unexpected dialog";
        return {};
    }
    QString saveFile(QWidget*, const QString&) override
    {
        ADD_FAILURE() << "unexpected dialog";
        return {};
    }
};

template <class T>
T* Child(QWidget& parent, const char* name)
{
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

const QString kOldTool = QStringLiteral("/opt/old tools/BuildLevel.exe");
const QString kNewTool = QStringLiteral("/opt/new tools/BuildLevel.exe");

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store_.values = {{"Compiler", kOldTool}, {"Collect", 1}};
        ASSERT_TRUE(settings_.load().empty());
        dialog_ = std::make_unique<TOptnsForm>(settings_, prompter_);
        spy_ = std::make_unique<QSignalSpy>(dialog_.get(), &TOptnsForm::closed);
        compiler_ = Child<QLineEdit>(*dialog_, "eCompiler");
        collect_ = Child<QCheckBox>(*dialog_, "tryCollect");
        ok_ = Child<QPushButton>(*dialog_, "OK");
        cancel_ = Child<QPushButton>(*dialog_, "Cancel");
        ASSERT_TRUE(compiler_ && collect_ && ok_ && cancel_);
        store_.writes.clear();
    }

    // Shows the dialog and changes both controls without confirming.
    void showAndEdit()
    {
        dialog_->show();
        ASSERT_EQ(compiler_->text(), settings_.compilerPath());
        compiler_->setText(kNewTool);
        collect_->setChecked(!collect_->isChecked());
    }

    FakeSettingsStore store_;
    AppSettings settings_{store_};
    AnsweringPrompter prompter_;
    std::unique_ptr<TOptnsForm> dialog_;
    std::unique_ptr<QSignalSpy> spy_;
    QLineEdit* compiler_ = nullptr;
    QCheckBox* collect_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

TEST_F(OptionsDialogTest, OkTakesBothChoicesButStoresOnlyTheCompiler)
{
    showAndEdit();
    QTest::mouseClick(ok_, Qt::LeftButton);

    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(spy_->count(), 1);
    EXPECT_EQ(settings_.compilerPath(), kNewTool);
    EXPECT_FALSE(settings_.collectFiles());
    EXPECT_EQ(store_.writes, QStringList{"Compiler=" + kNewTool});
    EXPECT_TRUE(prompter_.errors.isEmpty());

    // A restart reads the stored compiler and the stored "Collect" again.
    AppSettings restarted(store_);
    restarted.load();
    EXPECT_EQ(restarted.compilerPath(), kNewTool);
    EXPECT_TRUE(restarted.collectFiles());
}

TEST_F(OptionsDialogTest, OkWithEmptyPathMeansNoCompiler)
{
    dialog_->show();
    compiler_->clear();
    QTest::mouseClick(ok_, Qt::LeftButton);
    EXPECT_TRUE(settings_.compilerPath().isEmpty());
    EXPECT_EQ(store_.writes, QStringList{"Compiler="});
}

// Cancel and the title bar's close button: nothing changes, and the next
// showing shows the values in memory again.
TEST_F(OptionsDialogTest, ClosingWithoutOkChangesNothing)
{
    const std::function<void()> closers[] = {
        [&] { QTest::mouseClick(cancel_, Qt::LeftButton); },
        [&] { dialog_->windowHandle()->close(); },
    };
    int expectedSignals = 0;
    for (const auto& close : closers) {
        showAndEdit();
        close();
        EXPECT_FALSE(dialog_->isVisible());
        EXPECT_EQ(spy_->count(), ++expectedSignals);
        EXPECT_EQ(settings_.compilerPath(), kOldTool);
        EXPECT_TRUE(settings_.collectFiles());
        EXPECT_TRUE(store_.writes.isEmpty());

        dialog_->show();
        EXPECT_EQ(compiler_->text(), kOldTool);
        EXPECT_TRUE(collect_->isChecked());
        dialog_->hide();
        ++expectedSignals;
    }
}

TEST_F(OptionsDialogTest, FailedStoreKeepsTheDialogOpenAndTheValuesInMemory)
{
    store_.failWrites = true;
    showAndEdit();
    QTest::mouseClick(ok_, Qt::LeftButton);

    EXPECT_EQ(prompter_.errors, QStringList{"Failed to set data for 'Compiler'"});
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(spy_->count(), 0);
    EXPECT_EQ(settings_.compilerPath(), kNewTool);
    EXPECT_FALSE(settings_.collectFiles());
    EXPECT_EQ(store_.values.value("Compiler"), QVariant(kOldTool));
}

TEST_F(OptionsDialogTest, PickerFillsTheFieldOnlyWhenAFileIsChosen)
{
    dialog_->show();
    auto* select = Child<QPushButton>(*dialog_, "SelectCompiler");
    ASSERT_NE(select, nullptr);

    prompter_.openAnswer.clear();
    QTest::mouseClick(select, Qt::LeftButton);
    EXPECT_EQ(compiler_->text(), kOldTool);

    prompter_.openAnswer = kNewTool;
    QTest::mouseClick(select, Qt::LeftButton);
    EXPECT_EQ(compiler_->text(), kNewTool);
    EXPECT_EQ(prompter_.openFilters, QStringList(2, QStringLiteral("BuildLevel (BuildLevel.exe)")));
    // Choosing is not confirming.
    EXPECT_EQ(settings_.compilerPath(), kOldTool);
    EXPECT_TRUE(store_.writes.isEmpty());
}

TEST_F(OptionsDialogTest, EnterAndEscapeDoNotPressAnyButton)
{
    showAndEdit();
    for (QWidget* target : {static_cast<QWidget*>(compiler_), static_cast<QWidget*>(ok_),
                            static_cast<QWidget*>(cancel_), static_cast<QWidget*>(dialog_.get())}) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(target, key);
            EXPECT_TRUE(dialog_->isVisible()) << target->objectName().toStdString() << " key " << key;
        }
    }
    EXPECT_EQ(spy_->count(), 0);
    EXPECT_TRUE(store_.writes.isEmpty());
    EXPECT_EQ(settings_.compilerPath(), kOldTool);
    EXPECT_FALSE(ok_->isDefault());
    EXPECT_FALSE(cancel_->isDefault());
}

TEST_F(OptionsDialogTest, LooksAsDesigned)
{
    dialog_->show();
    EXPECT_EQ(dialog_->windowTitle(), QStringLiteral("Options"));
    const Qt::WindowFlags flags = dialog_->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);
    EXPECT_EQ(dialog_->minimumSize(), dialog_->maximumSize());
    EXPECT_GE(dialog_->width(), 169);
    EXPECT_GE(dialog_->height(), 122);

    auto* label = Child<QLabel>(*dialog_, "eCompilerLabel");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("Compiler:"));
    EXPECT_TRUE(label->font().bold());
    auto* select = Child<QPushButton>(*dialog_, "SelectCompiler");
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(select->text(), QStringLiteral("..."));
    EXPECT_EQ(select->size(), QSize(21, 21));
    EXPECT_NE(Child<QWidget>(*dialog_, "Bevel"), nullptr);
    EXPECT_EQ(collect_->text(), QStringLiteral("Try to collect files"));
    EXPECT_EQ(ok_->text(), QStringLiteral("OK"));
    EXPECT_EQ(cancel_->text(), QStringLiteral("Cancel"));

    // Nothing is cut off with the font in use. The picker keeps its small
    // fixed size: only its three dots must fit.
    for (QWidget* child : dialog_->findChildren<QWidget*>()) {
        const QRect area = child->geometry();
        EXPECT_TRUE(dialog_->rect().contains(area)) << child->objectName().toStdString();
        if (child == select)
            continue;
        EXPECT_GE(area.width(), child->minimumSizeHint().width()) << child->objectName().toStdString();
        EXPECT_GE(area.height(), child->minimumSizeHint().height()) << child->objectName().toStdString();
    }
    EXPECT_LT(select->fontMetrics().horizontalAdvance(select->text()), select->width() - 4);
    EXPECT_LE(select->fontMetrics().height(), select->height());
}

// The loaded settings as the dialog shows them.
struct ShownCase {
    const char* name;
    QMap<QString, QVariant> stored;
    QString compiler;
    bool ticked;
};

class OptionsShowTest : public ::testing::TestWithParam<ShownCase> {};

TEST_P(OptionsShowTest, ShowsTheLoadedSettings)
{
    const ShownCase& c = GetParam();
    FakeSettingsStore store;
    store.values = c.stored;
    AppSettings settings(store);
    settings.load();
    AnsweringPrompter prompter;
    TOptnsForm dialog(settings, prompter);
    dialog.show();
    EXPECT_EQ(dialog.findChild<QLineEdit*>("eCompiler")->text(), c.compiler);
    EXPECT_EQ(dialog.findChild<QCheckBox*>("tryCollect")->isChecked(), c.ticked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OptionsShowTest,
    ::testing::Values(ShownCase{"FirstStart", {}, QString(), true},
                      ShownCase{"CollectZero", {{"Collect", 0}}, QString(), false},
                      ShownCase{"CollectFive", {{"Collect", 5}}, QString(), true},
                      ShownCase{"CollectOfWrongType", {{"Collect", QStringLiteral("on")}}, QString(), true},
                      ShownCase{"Compiler", {{"Compiler", kOldTool}, {"Collect", 0}}, kOldTool, false},
                      ShownCase{"CompilerOfWrongType", {{"Compiler", 3}, {"Collect", 1}}, QString(), false}),
    [](const ::testing::TestParamInfo<ShownCase>& info) { return std::string(info.param.name); });

// First start against the real store, in Qt's test location.
TEST(OptionsFirstStartTest, StoresCollectAndShowsDefaults)
{
    QSettings raw(QStringLiteral("brix"), QStringLiteral("QELv2"));
    raw.clear();
    raw.sync();

    qel::platform::QtSettingsStore store;
    AppSettings settings(store);
    EXPECT_TRUE(settings.load().empty());
    AnsweringPrompter prompter;
    TOptnsForm dialog(settings, prompter);
    dialog.show();
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("eCompiler")->text().isEmpty());
    EXPECT_TRUE(dialog.findChild<QCheckBox*>("tryCollect")->isChecked());

    QSettings after(QStringLiteral("brix"), QStringLiteral("QELv2"));
    EXPECT_EQ(after.value(QStringLiteral("Collect")).toInt(), 1);
    EXPECT_FALSE(after.contains(QStringLiteral("Compiler")));
    after.clear();
    after.sync();
}

}  // namespace
