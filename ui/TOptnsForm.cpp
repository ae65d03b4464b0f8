#include "ui/TOptnsForm.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "app/AppSettings.h"
#include "core/Errors.h"
#include "ui/Prompter.h"

namespace {

QPushButton* PlainButton(const QString& text, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Enter must not press any button of this dialog.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

TOptnsForm::TOptnsForm(qel::app::AppSettings& settings, qel::ui::Prompter& prompter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings),
      prompter_(prompter)
{
    setObjectName(QStringLiteral("OptnsForm"));
    setWindowTitle(QStringLiteral("Options"));
    // 8 point text, like the main window's controls.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    auto* compilerLabel = new QLabel(QStringLiteral("Compiler:"), this);
    compilerLabel->setObjectName(QStringLiteral("eCompilerLabel"));
    QFont bold = compilerLabel->font();
    bold.setBold(true);
    compilerLabel->setFont(bold);

    eCompiler_ = new QLineEdit(this);
    eCompiler_->setObjectName(QStringLiteral("eCompiler"));
    compilerLabel->setBuddy(eCompiler_);

    SelectCompiler_ = PlainButton(QStringLiteral("..."), QStringLiteral("SelectCompiler"), this);
    SelectCompiler_->setFixedSize(21, 21);

    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);

    tryCollect_ = new QCheckBox(QStringLiteral("Try to collect files"), this);
    tryCollect_->setObjectName(QStringLiteral("tryCollect"));
    tryCollect_->setChecked(true);

    OK_ = PlainButton(QStringLiteral("OK"), QStringLiteral("OK"), this);
    Cancel_ = PlainButton(QStringLiteral("Cancel"), QStringLiteral("Cancel"), this);

    auto* compilerRow = new QHBoxLayout;
    compilerRow->setSpacing(2);
    compilerRow->addWidget(eCompiler_);
    compilerRow->addWidget(SelectCompiler_);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(OK_);
    buttonRow->addWidget(Cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(4);
    layout->addWidget(compilerLabel);
    layout->addLayout(compilerRow);
    layout->addWidget(bevel);
    layout->addWidget(tryCollect_);
    layout->addStretch(1);
    layout->addLayout(buttonRow);

    // 169 x 122 is the designed size; a larger system font may need more room.
    setFixedSize(QSize(169, 122).expandedTo(layout->sizeHint()));

    connect(SelectCompiler_, &QPushButton::clicked, this, &TOptnsForm::SelectCompilerClick);
    connect(OK_, &QPushButton::clicked, this, &TOptnsForm::OKClick);
    connect(Cancel_, &QPushButton::clicked, this, &TOptnsForm::CancelClick);

    FormCreate();
}

void TOptnsForm::FormCreate()
{
    tryCollect_->setChecked(settings_.collectFiles());
    eCompiler_->setText(settings_.compilerPath());
}

void TOptnsForm::SelectCompilerClick()
{
    const QString chosen = prompter_.openFile(this, QStringLiteral("BuildLevel (BuildLevel.exe)"));
    if (!chosen.isEmpty())
        eCompiler_->setText(chosen);
}

void TOptnsForm::OKClick()
{
    settings_.setCollectFiles(tryCollect_->isChecked());
    try {
        settings_.setCompilerPathAndStore(eCompiler_->text());
    } catch (const std::exception& e) {
        // The dialog stays open; the values already taken stay in force.
        prompter_.error(this, QString::fromLatin1(qel::WithFullStop(e.what())));
        return;
    }
    close();
}

void TOptnsForm::CancelClick()
{
    close();
}

void TOptnsForm::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormCreate();
    QDialog::showEvent(event);
}

// What was typed but not confirmed is dropped: the next showing refills the
// controls. The main window learns here that it may take input again.
void TOptnsForm::FormClose()
{
    emit closed();
}

// Every way of closing (OK, Cancel, the title bar) hides the dialog; a
// spontaneous hide (the desktop minimising everything) is not a close.
void TOptnsForm::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        FormClose();
}

void TOptnsForm::keyPressEvent(QKeyEvent* event)
{
    // Neither button is the dialog's default or cancel button: Enter and
    // Escape do nothing here (QDialog would press a default button or reject).
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
