#include "ui/TSortFrm.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHideEvent>
#include <QRadioButton>
#include <QToolButton>

#include "app/ObjectSteps.h"
#include "core/DefinitionDocument.h"
#include "ui/Controls.h"

using qel::ui::ControlFont;

TSortFrm::TSortFrm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("SortFrm"));
    setWindowTitle(QStringLiteral("Sort Objects"));
    setFont(ControlFont());
    setFixedSize(213, 132);

    SortByRadio = new QGroupBox(QStringLiteral("Sort by:"), this);
    SortByRadio->setObjectName(QStringLiteral("SortByRadio"));
    SortByRadio->setGeometry(8, 2, 197, 94);
    sortBy_ = new QButtonGroup(this);
    for (int i = 0; i < qel::kSortKeyCount; ++i) {
        auto* item =
            new QRadioButton(QString::fromLatin1(qel::app::SortKeyWords(static_cast<qel::SortKey>(i))), SortByRadio);
        item->setObjectName(QStringLiteral("SortByRadioItem%1").arg(i));
        // Two columns filled top to bottom, four items in the left one.
        const int column = i / 4;
        const int row = i % 4;
        item->setGeometry(column == 0 ? 6 : 90, 18 + row * 18, column == 0 ? 82 : 104, 18);
        sortBy_->addButton(item, i);
    }

    SortMapObjects = new QRadioButton(QStringLiteral("MapObjects"), this);
    SortMapObjects->setObjectName(QStringLiteral("SortMapObjects"));
    SortMapObjects->setGeometry(10, 98, 110, 17);
    SortMapObjects->setChecked(true);
    SortScreenObjects = new QRadioButton(QStringLiteral("ScreenObjects"), this);
    SortScreenObjects->setObjectName(QStringLiteral("SortScreenObjects"));
    SortScreenObjects->setGeometry(10, 114, 110, 17);

    Sort = qel::ui::MakeSpeedButton(
        this, QStringLiteral("Sort"), QStringLiteral("Sort"),
        qel::ui::PictureIcon(QStringLiteral(":/buttons/sort.png"), QStringLiteral(":/buttons/sort-disabled.png")),
        QRect(124, 101, 81, 27));

    connect(SortMapObjects, &QRadioButton::clicked, this, &TSortFrm::SortMapObjectsClick);
    connect(SortScreenObjects, &QRadioButton::clicked, this, &TSortFrm::SortScreenObjectsClick);
    connect(Sort, &QToolButton::clicked, this, &TSortFrm::SortClick);

    FormCreate();
}

int TSortFrm::sortKeyIndex() const
{
    return sortBy_->checkedId();
}

qel::ObjectKind TSortFrm::chosenKind() const
{
    return SortScreenObjects->isChecked() ? qel::ObjectKind::Screen : qel::ObjectKind::Map;
}

void TSortFrm::prepare(qel::ObjectKind shown, int mapObjectCount, int screenObjectCount)
{
    shown_ = shown;
    mapObjectCount_ = mapObjectCount;
    screenObjectCount_ = screenObjectCount;
}

void TSortFrm::FormCreate()
{
    const bool screen = shown_ == qel::ObjectKind::Screen;
    SortMapObjects->setChecked(!screen);
    SortScreenObjects->setChecked(screen);
    SortMapObjects->setEnabled(mapObjectCount_ >= 1);
    SortScreenObjects->setEnabled(screenObjectCount_ >= 1);
}

void TSortFrm::SortMapObjectsClick()
{
    SortScreenObjects->setChecked(false);
}

void TSortFrm::SortScreenObjectsClick()
{
    SortMapObjects->setChecked(false);
}

void TSortFrm::SortClick()
{
    emit sortRequested(chosenKind(), sortKeyIndex());
    hide();
}

void TSortFrm::showEvent(QShowEvent* event)
{
    FormCreate();
    QDialog::showEvent(event);
}

void TSortFrm::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    // A minimised dialog is hidden by the system, not closed.
    if (!event->spontaneous())
        emit closed();
}
