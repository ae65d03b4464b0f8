#include "ui/PointerReport.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <algorithm>
#include <cmath>

#include "app/DocumentSession.h"
#include "core/Keywords.h"
#include "core/MapLayers.h"
#include "ui/Latin1Text.h"
#include "ui/MapCanvas.h"
#include "ui/ObjectArt.h"

namespace qel::ui {

PointerReport::PointerReport(MapCanvas& canvas, app::DocumentSession& session, platform::PictureCache& pictures,
                             QLabel& status)
    : QObject(&canvas),
      canvas_(canvas),
      session_(session),
      pictures_(pictures),
      status_(status),
      tip_(new QFrame(canvas.viewport(), Qt::ToolTip)),
      tipPicture_(new QLabel(tip_)),
      tipText_(new QLabel(tip_))
{
    setObjectName(QStringLiteral("PointerReport"));
    tip_->setObjectName(QStringLiteral("ObjectTip"));
    tip_->setFrameShape(QFrame::Box);
    tip_->setStyleSheet(QStringLiteral("QFrame { background: #ffffe0; color: black; }"));
    tipText_->setTextFormat(Qt::PlainText);
    auto* layout = new QHBoxLayout(tip_);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(tipPicture_);
    layout->addWidget(tipText_);
    connect(&canvas, &MapCanvas::pointerMoved, this, &PointerReport::showAt);
    viewport_ = canvas.viewport();
    viewport_->installEventFilter(this);
}

std::optional<std::size_t> PointerReport::rowAt(QPointF p) const
{
    return TopmostPickable(canvas_.index(), canvas_.tool().layers(), static_cast<std::int64_t>(std::floor(p.x())),
                           static_cast<std::int64_t>(std::floor(p.y())));
}

QString PointerReport::describe(std::size_t row) const
{
    const ObjectList& list = session_.document().mapObjects();
    if (row >= list.size())
        return {};
    const QString line = VisibleText(list.line(row));
    if (!list.hasFields(row))
        return QStringLiteral("Map objects, row %1: %2").arg(row + 1).arg(line);
    const ObjectFields& f = list.fields(row);
    const QString layer = f.layer == -1 ? QStringLiteral("no layer") : FromBytes(LayerKeyword(f.layer));
    return QStringLiteral("Map objects, row %1: IMAGE%2, %3 - %4").arg(row + 1).arg(f.image).arg(layer, line);
}

void PointerReport::showAt(QPointF mapPoint)
{
    const std::optional<std::size_t> row = rowAt(mapPoint);
    status_.setText(row ? describe(*row) : QString());
    if (tip_->isVisible())
        tip_->hide();
}

void PointerReport::showTip(QPoint globalPos, std::size_t row)
{
    QImage shown;
    const ObjectList& list = session_.document().mapObjects();
    if (list.hasFields(row)) {
        // Only when the tip shows: the first image of that number, as the map draws it.
        const DefinitionDocument& doc = session_.document();
        const auto& images = doc.images();
        const auto image = std::find_if(images.begin(), images.end(), [number = list.fields(row).image](const auto& i) {
            return i.number == number;
        });
        if (image != images.end())
            if (const ObjectArt art = ArtOf(doc, *image, pictures_); art.picture())
                shown = pictures_.cell(art.path, art.xTiles, art.yTiles);
    }
    if (shown.width() > kTipPicture || shown.height() > kTipPicture)
        shown = shown.scaled(kTipPicture, kTipPicture, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    tipPicture_->setPixmap(shown.isNull() ? QPixmap() : QPixmap::fromImage(shown));
    tipPicture_->setVisible(!shown.isNull());
    tipText_->setText(describe(row));
    tip_->adjustSize();
    tip_->move(globalPos + QPoint(12, 16));
    tip_->show();
}

bool PointerReport::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != viewport_)
        return false;
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const std::optional<std::size_t> row = rowAt(canvas_.mapPointAt(help->pos()));
        if (row)
            showTip(help->globalPos(), *row);
        else
            tip_->hide();
        return true;
    }
    if ((event->type() == QEvent::Leave || event->type() == QEvent::MouseButtonPress) && tip_)
        tip_->hide();
    return false;
}

}  // namespace qel::ui
