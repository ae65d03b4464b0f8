#include "ui/TAboutFrm.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* NamedLabel(const QString& text, const QString& name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

TAboutFrm::TAboutFrm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("AboutFrm"));
    setWindowTitle(QStringLiteral("About..."));
    // 8 point text, like the main window's controls.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    auto* title = NamedLabel(QStringLiteral("QEL v2.2"), QStringLiteral("AboutLabel"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);

    auto* credits = NamedLabel(QStringLiteral("Object definition editor\n"
                                              "written with Qt and plain C++"),
                               QStringLiteral("AboutLabel4"), this);

    auto* contact = NamedLabel(QStringLiteral("Plese submit ideas, presets and feedback\n"
                                              "\n"
                                              "Issues: issues@example.org\n"
                                              "Mail: qel-team@example.org\n"
                                              "Web: https://example.org/qel"),
                               QStringLiteral("AboutLabel2"), this);
    contact->setMinimumWidth(196);
    contact->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* source =
        NamedLabel(QStringLiteral("Source-code is avaible on request..."), QStringLiteral("AboutLabel3"), this);

    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("bClose"));
    connect(closeButton, &QPushButton::clicked, this, &TAboutFrm::bCloseClick);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(6);
    layout->addWidget(title);
    layout->addWidget(credits);
    layout->addWidget(contact);
    layout->addWidget(source);
    layout->addStretch(1);
    layout->addLayout(buttonRow);

    // 215 x 207 is the designed size; a larger system font may need more room.
    setFixedSize(QSize(215, 207).expandedTo(layout->sizeHint()));
}

void TAboutFrm::bCloseClick()
{
    close();
}

// "Close" and the title bar's close button both end here.
void TAboutFrm::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        emit closed();
}
