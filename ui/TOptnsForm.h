#pragma once
// The Options dialog: chooses the package compiler and whether added files
// are collected next to the definition. Created hidden once and shown
// without blocking; the caller disables the main window until closed().

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace qel::app {
class AppSettings;
}
namespace qel::ui {
class Prompter;
}

class TOptnsForm : public QDialog {
    Q_OBJECT
public:
    TOptnsForm(qel::app::AppSettings& settings, qel::ui::Prompter& prompter, QWidget* parent = nullptr);

signals:
    // The dialog was hidden, by OK, Cancel or the title bar's close button.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void SelectCompilerClick();
    void OKClick();
    void CancelClick();

    qel::app::AppSettings& settings_;
    qel::ui::Prompter& prompter_;
    QLineEdit* eCompiler_;
    QPushButton* SelectCompiler_;
    QCheckBox* tryCollect_;
    QPushButton* OK_;
    QPushButton* Cancel_;
};
