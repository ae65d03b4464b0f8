#include "ui/Prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "app/DocumentFiles.h"
#include "ui/TChangeFrm.h"

namespace qel::ui {

namespace {
QString Caption()
{
    return QString::fromLatin1(qel::app::kBaseTitle);
}

// The window a box belongs to, which it stays above: the asking widget's
// window, or the active one when nobody is named. A box of no window may
// fall behind the window that waits for its answer.
QWidget* Owner(QWidget* parent)
{
    return parent ? parent->window() : QApplication::activeWindow();
}
}  // namespace

void QtPrompter::error(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Critical, Caption(), message, QMessageBox::Ok, Owner(parent));
    box.exec();
}

void QtPrompter::information(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Information, Caption(), message, QMessageBox::Ok, Owner(parent));
    box.exec();
}

namespace {
bool AskYesNo(QWidget* parent, const QString& question, bool yesDefault)
{
    QMessageBox box(QMessageBox::Question, Caption(), question, QMessageBox::NoButton, Owner(parent));
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yesDefault ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}
}  // namespace

bool QtPrompter::confirm(QWidget* parent, const QString& question)
{
    return AskYesNo(parent, question, true);
}

bool QtPrompter::confirmNoDefault(QWidget* parent, const QString& question)
{
    return AskYesNo(parent, question, false);
}

SaveChangesAnswer QtPrompter::askSaveChanges(QWidget* parent, const QString& question)
{
    QMessageBox box(QMessageBox::Warning, Caption(), question, QMessageBox::NoButton, Owner(parent));
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    // Escape or the title bar's close button keeps everything.
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return SaveChangesAnswer::Yes;
    if (box.clickedButton() == no)
        return SaveChangesAnswer::No;
    return SaveChangesAnswer::Cancel;
}

QString QtPrompter::openFile(QWidget* parent, const QString& filter)
{
    return QFileDialog::getOpenFileName(Owner(parent), QString(), QString(), filter);
}

QStringList QtPrompter::openFiles(QWidget* parent, const QString& filter)
{
    return QFileDialog::getOpenFileNames(Owner(parent), QString(), QString(), filter);
}

QString QtPrompter::saveFile(QWidget* parent, const QString& filter)
{
    // No default suffix: the caller adds ".ini" to a name without extension.
    return QFileDialog::getSaveFileName(Owner(parent), QString(), QString(), filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

std::optional<QString> QtPrompter::askText(QWidget* parent, const QString& title, const QString& label,
                                           const QString& text)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(Owner(parent), title, label, QLineEdit::Normal, text, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

std::optional<ObjectChangeFields> QtPrompter::askObjectChange(QWidget* parent, const QStringList& imageItems,
                                                              const ObjectChangeFields& start)
{
    TChangeFrm dialog(imageItems, start, Owner(parent));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.fields();
}

}  // namespace qel::ui
