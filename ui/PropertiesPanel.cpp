#include "ui/PropertiesPanel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "core/IntConversion.h"
#include "core/Keywords.h"
#include "ui/Latin1Text.h"
#include "ui/PanelCommands.h"

namespace qel::ui {

namespace {

const QString kMixed = QStringLiteral("(mixed)");
const QString kNone = QStringLiteral("(none)");

QLineEdit* TextField(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QComboBox* ChoiceField(QWidget* parent, const char* name)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

// The number a field shows: -1 is a field the line does not have.
QString NumberText(std::optional<std::int32_t> value)
{
    return value && *value != -1 ? QString::number(*value) : QString();
}

}  // namespace

PropertiesPanel::PropertiesPanel(app::DocumentSession& session, PanelCommands& commands, QWidget* parent)
    : QWidget(parent),
      session_(session),
      commands_(commands),
      count_(new QLabel(this)),
      x_(TextField(this, "PropertyX")),
      y_(TextField(this, "PropertyY")),
      image_(ChoiceField(this, "PropertyImage")),
      layer_(ChoiceField(this, "PropertyLayer")),
      mode_(ChoiceField(this, "PropertyMode")),
      time_(TextField(this, "PropertyTime")),
      id_(TextField(this, "PropertyId"))
{
    setObjectName(QStringLiteral("PropertiesPanel"));
    count_->setObjectName(QStringLiteral("PropertyCount"));
    for (const std::string_view keyword : kLayerKeywords)
        layer_->addItem(FromBytes(keyword));
    for (const std::string_view keyword : kModeKeywords)
        mode_->addItem(FromBytes(keyword));
    auto* form = new QFormLayout(this);
    form->addRow(count_);
    form->addRow(QStringLiteral("X:"), x_);
    form->addRow(QStringLiteral("Y:"), y_);
    form->addRow(QStringLiteral("Image:"), image_);
    form->addRow(QStringLiteral("Layer:"), layer_);
    form->addRow(QStringLiteral("Mode:"), mode_);
    form->addRow(QStringLiteral("Time:"), time_);
    form->addRow(QStringLiteral("Id:"), id_);
    connect(x_, &QLineEdit::editingFinished, this, [this] { commitText(Text::X); });
    connect(y_, &QLineEdit::editingFinished, this, [this] { commitText(Text::Y); });
    connect(time_, &QLineEdit::editingFinished, this, [this] { commitText(Text::Time); });
    connect(id_, &QLineEdit::editingFinished, this, [this] { commitText(Text::Id); });
    connect(image_, &QComboBox::activated, this, [this](int i) { commitChoice(Choice::Image, i); });
    connect(layer_, &QComboBox::activated, this, [this](int i) { commitChoice(Choice::Layer, i); });
    connect(mode_, &QComboBox::activated, this, [this](int i) { commitChoice(Choice::Mode, i); });
    // Steps change the rows under the selection: shown anew once the
    // notices of a step are through (the selection follows them first).
    connect(&session, &app::DocumentSession::rowsInserted, this, &PropertiesPanel::refreshLater);
    connect(&session, &app::DocumentSession::rowsRemoved, this, &PropertiesPanel::refreshLater);
    connect(&session, &app::DocumentSession::rowsChanged, this, &PropertiesPanel::refreshLater);
    connect(&session, &app::DocumentSession::listReset, this, &PropertiesPanel::refreshLater);
    connect(&session, &app::DocumentSession::imagesChanged, this, &PropertiesPanel::refreshLater);
    refresh();
}

void PropertiesPanel::follow(ObjectKind kind, QItemSelectionModel* selection)
{
    if (selection_)
        disconnect(selection_, nullptr, this, nullptr);
    kind_ = kind;
    selection_ = selection;
    if (selection_)
        connect(selection_, &QItemSelectionModel::selectionChanged, this, &PropertiesPanel::refresh);
    refresh();
}

void PropertiesPanel::refreshLater()
{
    if (pending_)
        return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (pending_)
            refresh();
    });
}

void PropertiesPanel::refresh()
{
    pending_ = false;
    rows_.clear();
    if (selection_)
        for (const QItemSelectionRange& range : selection_->selection())
            for (int row = range.top(); row <= range.bottom(); ++row)
                rows_.push_back(static_cast<std::size_t>(row));
    common_ = CommonFieldsOf(session_.document().objects(kind_), kind_, rows_);
    const std::size_t n = common_.count;
    count_->setText(n == 0   ? QStringLiteral("No object selected")
                    : n == 1 ? QStringLiteral("1 object selected")
                             : QStringLiteral("%1 objects selected").arg(n));
    for (QWidget* field : std::initializer_list<QWidget*>{x_, y_, image_, layer_, mode_, time_, id_})
        field->setEnabled(n > 0);
    showTexts();
    showChoices();
}

void PropertiesPanel::showTexts()
{
    const bool any = common_.count > 0;
    const auto show = [any](QLineEdit* edit, const QString& text, bool mixed) {
        if (!edit->hasFocus() || !edit->isModified())
            edit->setText(text);
        edit->setPlaceholderText(any && mixed ? kMixed : any ? kNone : QString());
        edit->setModified(false);
    };
    show(x_, common_.x ? FromBytes(*common_.x) : QString(), !common_.x);
    show(y_, common_.y ? FromBytes(*common_.y) : QString(), !common_.y);
    show(time_, NumberText(common_.displayTime), !common_.displayTime);
    show(id_, NumberText(common_.objectId), !common_.objectId);
}

void PropertiesPanel::showChoices()
{
    const auto& images = session_.document().images();
    if (image_->count() != static_cast<int>(images.size())) {
        const QSignalBlocker quiet(image_);
        image_->clear();
        for (const ObjectImage& image : images)
            image_->addItem(QStringLiteral("IMAGE%1").arg(image.number));
    }
    const auto show = [this](QComboBox* box, std::optional<std::int32_t> value, int index) {
        const QSignalBlocker quiet(box);
        box->setCurrentIndex(value ? index : -1);
        box->setPlaceholderText(common_.count == 0 ? QString()
                                : !value           ? kMixed
                                : *value == -1     ? kNone
                                                   : QString::number(*value));
    };
    show(image_, common_.image, common_.image ? ImageChoiceOfNumber(images, *common_.image) : -1);
    const auto within = [](std::optional<std::int32_t> v, int count) { return v && *v >= 0 && *v < count ? *v : -1; };
    show(layer_, common_.layer, within(common_.layer, layer_->count()));
    show(mode_, common_.mode, within(common_.mode, mode_->count()));
}

void PropertiesPanel::commitText(Text which)
{
    QLineEdit* edit = which == Text::X ? x_ : which == Text::Y ? y_ : which == Text::Time ? time_ : id_;
    if (!edit->isModified() || rows_.empty())
        return;
    edit->setModified(false);
    const QString typed = edit->text().trimmed();
    if (typed.isEmpty()) {
        showTexts();
        return;
    }
    commands_.guarded([&] {
        ObjectChange change;
        if (which == Text::Time || which == Text::Id) {
            (which == Text::Time ? change.displayTime : change.objectId) = StrToInt(CheckedBytes(typed));
        } else {
            const std::optional<std::string>& common = which == Text::X ? common_.x : common_.y;
            // A screen position keeps its "C" when it has one: the number after it is what moves.
            const auto number = [](QString text) {
                if (text.startsWith(QLatin1Char('C'), Qt::CaseInsensitive))
                    text.remove(0, 1);
                return static_cast<std::int64_t>(StrToInt(CheckedBytes(text)));
            };
            const std::int64_t value = number(typed);
            (which == Text::X ? change.dx : change.dy) = common ? value - number(FromBytes(*common)) : value;
        }
        commands_.changeObjects(kind_, rows_, change);
    });
    refresh();
}

void PropertiesPanel::commitChoice(Choice which, int index)
{
    if (index < 0 || rows_.empty())
        return;
    ObjectChange change;
    if (which == Choice::Image)
        change.imageNumber = ImageNumberOfChoice(session_.document().images(), index);
    else
        (which == Choice::Layer ? change.layer : change.mode) = index;
    commands_.changeObjects(kind_, rows_, change);
    refresh();
}

}  // namespace qel::ui
