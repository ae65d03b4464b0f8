#include "ui/Controls.h"

#include <limits>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "ui/Guarded.h"
#include "ui/Latin1Text.h"
#include "ui/SpeedButton.h"

namespace qel::ui {

namespace {
QFont SizedFont(int points, bool bold)
{
    QFont font = QApplication::font();
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}
}  // namespace

QFont ControlFont()
{
    return SizedFont(8, false);
}

QFont CaptionFont()
{
    return SizedFont(10, true);
}

QFont SmallBoldFont()
{
    return SizedFont(8, true);
}

void MakeSection(QGroupBox* box, const QString& objectName, const QString& caption, const QRect& rect)
{
    box->setObjectName(objectName);
    box->setTitle(caption);
    box->setFont(CaptionFont());
    box->setGeometry(rect);
}

QLabel* MakeLabel(QWidget* parent, const QString& objectName, const QString& text, const QFont& font, const QRect& rect)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setFont(font);
    label->setGeometry(rect);
    return label;
}

LabelledEdit MakeLabelledEdit(QWidget* parent, const QString& objectName, const QString& caption, const QString& text,
                              const QFont& labelFont, const QRect& editRect, int labelWidth)
{
    const int height = QFontMetrics(labelFont).height() + 1;
    const int width = labelWidth > 0 ? labelWidth : editRect.width();
    QLabel* label = MakeLabel(parent, objectName + QStringLiteral("Label"), caption, labelFont,
                              QRect(editRect.left(), editRect.top() - height - 1, width, height));
    auto* edit = new QLineEdit(parent);
    // Texts of a definition may be of any length; the default limit of
    // 32767 characters would cut them off without a word.
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setText(text);
    edit->setObjectName(objectName);
    edit->setFont(ControlFont());
    edit->setGeometry(editRect);
    label->setBuddy(edit);
    return {label, edit};
}

QIcon PictureIcon(const QString& normal, const QString& disabled)
{
    QIcon icon;
    if (QFile::exists(normal))
        icon.addFile(normal, QSize(), QIcon::Normal);
    if (!disabled.isEmpty() && QFile::exists(disabled))
        icon.addFile(disabled, QSize(), QIcon::Disabled);
    return icon;
}

QToolButton* MakeSpeedButton(QWidget* parent, const QString& objectName, const QString& caption, const QIcon& icon,
                             const QRect& rect)
{
    auto* button = new SpeedButton(parent);
    button->setObjectName(objectName);
    button->setFont(ControlFont());
    button->setText(caption);
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    button->setGeometry(rect);
    return button;
}

QComboBox* MakeEditableCombo(QWidget* parent, const QString& objectName, const QStringList& items,
                             const QString& placeholder, const QRect& rect)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(objectName);
    box->setFont(ControlFont());
    box->setEditable(true);
    // Typing never adds entries; the lists are the document's.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setGeometry(rect);
    ShowPlaceholder(box, placeholder);
    return box;
}

void ShowPlaceholder(QComboBox* box, const QString& placeholder)
{
    box->setCurrentIndex(-1);
    box->setEditText(placeholder);
}

// The item the box shows, or -1 for its placeholder or a typed text that is
// no item.
int ChoiceOf(const QComboBox* box)
{
    const QString shown = box->currentText();
    const int current = box->currentIndex();
    if (current >= 0 && box->itemText(current) == shown)
        return current;
    return box->findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void ShowChoice(QComboBox* box, int choice, const QString& placeholder)
{
    const bool item = choice >= 0 && choice < box->count();
    // A box that shows it already is left alone: no repaint for nothing.
    if (box->currentIndex() == (item ? choice : -1)
        && box->currentText() == (item ? box->itemText(choice) : placeholder))
        return;
    if (!item) {
        ShowPlaceholder(box, placeholder);
        return;
    }
    box->setCurrentIndex(choice);
    // A text typed over the same item goes too.
    box->setEditText(box->itemText(choice));
}

void ShowText(QLineEdit* edit, const std::string& bytes)
{
    if (const QString text = FromBytes(bytes); edit->text() != text)
        edit->setText(text);
}

std::string EditBytes(const QLineEdit* edit)
{
    const QString text = edit->text();
    if (const qsizetype refused = FirstUnstorableCharacter(text); refused >= 0)
        throw TextError(UnstorableCharacterMessage(text, refused));
    return ToBytes(text);
}

}  // namespace qel::ui
