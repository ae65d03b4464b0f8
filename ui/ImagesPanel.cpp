#include "ui/ImagesPanel.h"

#include <QKeyEvent>
#include <QListView>
#include <QVBoxLayout>

#include "ui/ImagePaletteModel.h"

namespace qel::ui {

namespace {

// Digits typed further apart than this start a new number.
constexpr qint64 kTypingPauseMs = 1000;

}  // namespace

ImagesPanel::ImagesPanel(app::DocumentSession& session, platform::PictureCache& pictures, QWidget* parent)
    : QWidget(parent),
      list_(new QListView(this)),
      model_(new ImagePaletteModel(session, pictures, this)),
      session_(session)
{
    setObjectName(QStringLiteral("ImagesPanel"));
    list_->setObjectName(QStringLiteral("ImagePalette"));
    list_->setModel(model_);
    // Rows of one height: only those in view are asked for, however many images.
    list_->setUniformItemSizes(true);
    list_->setIconSize(QSize(ImagePaletteModel::kThumbSide, ImagePaletteModel::kThumbSide));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->installEventFilter(this);
    setFocusProxy(list_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& now) {
        if (now.isValid() && now.row() != shown_)
            choose(now.row());
    });
    connect(list_, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && show_)
            show_(index.row());
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        const int shown = shown_;
        shown_ = -2;
        showChoice(shown);
    });
}

void ImagesPanel::showChoice(int position)
{
    if (position == shown_)
        return;
    shown_ = position;
    const QSignalBlocker quiet(list_->selectionModel());
    if (position < 0 || position >= model_->rowCount()) {
        list_->selectionModel()->clear();
        list_->viewport()->update();
        return;
    }
    const QModelIndex index = model_->index(position);
    list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    list_->scrollTo(index);
    list_->viewport()->update();
}

void ImagesPanel::choose(int position)
{
    if (position < 0 || position >= model_->rowCount())
        return;
    showChoice(position);
    if (choose_)
        choose_(position);
}

void ImagesPanel::typeDigit(int digit)
{
    if (!typedAt_.isValid() || typedAt_.elapsed() > kTypingPauseMs || typed_.size() >= 9)
        typed_.clear();
    typedAt_.start();
    typed_ += QChar(u'0' + digit);
    const std::int32_t number = typed_.toInt();
    const auto& images = session_.document().images();
    for (std::size_t i = 0; i < images.size(); ++i)
        if (images[i].number == number) {
            choose(static_cast<int>(i));
            return;
        }
}

bool ImagesPanel::eventFilter(QObject* watched, QEvent* event)
{
    const bool press = event->type() == QEvent::KeyPress;
    // The map window's own keys 0 and 1 (zooms) give way here to the number typed.
    if (watched == list_ && (press || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() >= Qt::Key_0 && key->key() <= Qt::Key_9 && !(key->modifiers() & ~Qt::KeypadModifier)) {
            if (press)
                typeDigit(key->key() - Qt::Key_0);
            event->accept();
            return press;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qel::ui
