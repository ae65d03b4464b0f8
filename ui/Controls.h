#pragma once
// Small builders shared by the window's sections: fonts, labelled edits,
// picture buttons and the combo boxes with a placeholder text.

#include <string>

#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>
#include <QStringList>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;
class QWidget;

namespace qel::ui {

// Text of the controls.
QFont ControlFont();
// Group box captions and the labels of the File and Image sections.
QFont CaptionFont();
// Labels of the Objects section.
QFont SmallBoldFont();

// A group box whose caption is bold while its controls keep the control font.
void MakeSection(QGroupBox* box, const QString& objectName, const QString& caption, const QRect& rect);

QLabel* MakeLabel(QWidget* parent, const QString& objectName, const QString& text, const QFont& font,
                  const QRect& rect);

// An edit with its label above it; the label is named after the edit
// ("eOutFile" has "eOutFileLabel").
struct LabelledEdit {
    QLabel* label;
    QLineEdit* edit;
};
LabelledEdit MakeLabelledEdit(QWidget* parent, const QString& objectName, const QString& caption, const QString& text,
                              const QFont& labelFont, const QRect& editRect, int labelWidth = -1);

// An icon from `normal`, drawn from `disabled` while its button is disabled;
// a picture that is not there is simply left out.
QIcon PictureIcon(const QString& normal, const QString& disabled = QString());

// A picture button (caption beside it, if any) that takes no keyboard focus.
QToolButton* MakeSpeedButton(QWidget* parent, const QString& objectName, const QString& caption, const QIcon& icon,
                             const QRect& rect);

// An editable combo box showing `placeholder` with no entry chosen.
QComboBox* MakeEditableCombo(QWidget* parent, const QString& objectName, const QStringList& items,
                             const QString& placeholder, const QRect& rect);
// Back to no entry chosen, showing `placeholder`.
void ShowPlaceholder(QComboBox* box, const QString& placeholder);

// The item the box shows, or -1 for its placeholder or a typed text that is
// no item.
int ChoiceOf(const QComboBox* box);
// Shows item `choice`, or `placeholder` when it is no item.
void ShowChoice(QComboBox* box, int choice, const QString& placeholder);

// The edit shows `bytes` (Latin-1), left alone when it already does.
void ShowText(QLineEdit* edit, const std::string& bytes);
// The edit's text as bytes; a character no byte stands for is refused.
std::string EditBytes(const QLineEdit* edit);

}  // namespace qel::ui
