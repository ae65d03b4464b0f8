#include "ObjectsSection.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QToolButton>

#include <QItemSelectionModel>
#include <algorithm>

#include "Controls.h"
#include "DocumentSession.h"
#include "Guarded.h"
#include "Keywords.h"
#include "Latin1Text.h"
#include "ObjectCommands.h"
#include "ObjectListModel.h"
#include "UpDownButton.h"

namespace qel::ui {

namespace {
QListView* MakeObjectList(QWidget* parent, const QString& objectName)
{
    auto* list = new QListView(parent);
    list->setObjectName(objectName);
    list->setFont(ControlFont());
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Fixed row height lets the view place a million rows without asking
    // each one for its size.
    list->setUniformItemSizes(true);
    list->setGeometry(8, 48, 353, 241);
    return list;
}

UpDownButton* MakeUpDown(QWidget* parent, const QString& objectName, QLineEdit* buddy, int maximum, int step)
{
    auto* upDown = new UpDownButton(buddy, 0, maximum, step, parent);
    upDown->setObjectName(objectName);
    const QRect edit = buddy->geometry();
    upDown->setGeometry(edit.right() + 1, edit.top(), 16, edit.height());
    return upDown;
}

QStringList Keywords(const auto& table)
{
    QStringList items;
    for (std::string_view keyword : table)
        items << qel::ui::FromBytes(keyword);
    return items;
}
}  // namespace

ObjectsSection::ObjectsSection(app::DocumentSession& session, Prompter& prompter, QWidget* parent)
    : QGroupBox(parent), session_(session), prompter_(prompter)
{
    MakeSection(this, QStringLiteral("ObjectsSection"), QStringLiteral("Objects Section"), QRect(312, 32, 369, 417));

    ObjectsBox = MakeEditableCombo(this, QStringLiteral("ObjectsBox"),
                                   {QStringLiteral("MapObjects"), QStringLiteral("ScreenObjects")},
                                   QStringLiteral("MapObjects"), QRect(8, 21, 140, 22));
    ObjectsBox->setFont(SmallBoldFont());
    ObjectsBox->lineEdit()->setFont(SmallBoldFont());
    SortObjects = MakeSpeedButton(this, QStringLiteral("SortObjects"), QString(),
                                  PictureIcon(QStringLiteral(":/buttons/sort.png"), QStringLiteral(":/buttons/sort-disabled.png")),
                                  QRect(151, 20, 24, 24));
    Switch = MakeSpeedButton(this, QStringLiteral("Switch"), QStringLiteral("<-->"),
                             PictureIcon(QStringLiteral(":/buttons/switch.png")), QRect(284, 19, 77, 25));

    MapObjectList = MakeObjectList(this, QStringLiteral("MapObjectList"));
    ScreenObjectList = MakeObjectList(this, QStringLiteral("ScreenObjectList"));
    ScreenObjectList->hide();

    const QFont labelFont = SmallBoldFont();
    const LabelledEdit x = MakeLabelledEdit(this, QStringLiteral("eObjectX"), QStringLiteral("X-Coord:"), QString(),
                                            labelFont, QRect(8, 309, 56, 21), 58);
    eObjectXLabel = x.label;
    eObjectX = x.edit;
    const LabelledEdit y = MakeLabelledEdit(this, QStringLiteral("eObjectY"), QStringLiteral("Y-Coord:"), QString(),
                                            labelFont, QRect(68, 309, 56, 21), 58);
    eObjectYLabel = y.label;
    eObjectY = y.edit;

    const int labelTop = eObjectXLabel->y();
    const int labelHeight = eObjectXLabel->height();
    ObjectImageLabel = MakeLabel(this, QStringLiteral("ObjectImageLabel"), QStringLiteral("Image:"), labelFont,
                                 QRect(128, labelTop, 80, labelHeight));
    ObjectImageBox = MakeEditableCombo(this, QStringLiteral("ObjectImageBox"), {}, QStringLiteral("IMAGE#"),
                                       QRect(128, 309, 80, 22));
    ObjectLayerLabel = MakeLabel(this, QStringLiteral("ObjectLayerLabel"), QStringLiteral("Layer:"), labelFont,
                                 QRect(212, labelTop, 120, labelHeight));
    ObjectLayerBox = MakeEditableCombo(this, QStringLiteral("ObjectLayerBox"), Keywords(qel::kLayerKeywords),
                                       QStringLiteral("Layer"), QRect(212, 309, 122, 22));
    ClearObjectList = MakeSpeedButton(this, QStringLiteral("ClearObjectList"), QString(),
                                      PictureIcon(QStringLiteral(":/buttons/clear.png"),
                                                  QStringLiteral(":/buttons/clear-disabled.png")),
                                      QRect(338, 308, 23, 24));

    const int secondRow = 352;
    QStringList modes = Keywords(qel::kModeKeywords);
    modes << qel::ui::FromBytes(qel::kModeNoneItem);
    ObjectModeBox = MakeEditableCombo(this, QStringLiteral("ObjectModeBox"), modes, QStringLiteral("Mode"),
                                      QRect(8, secondRow, 116, 22));
    const LabelledEdit time = MakeLabelledEdit(this, QStringLiteral("eObjectDsplyTime"), QStringLiteral("DsplyTime:"),
                                               QStringLiteral("0"), labelFont, QRect(127, secondRow, 46, 21), 70);
    eObjectDsplyTimeLabel = time.label;
    eObjectDsplyTime = time.edit;
    DsplyTimeUpDown = MakeUpDown(this, QStringLiteral("DsplyTimeUpDown"), eObjectDsplyTime, 32000, 10);
    ObjectModeLabel = MakeLabel(this, QStringLiteral("ObjectModeLabel"), QStringLiteral("Mode:"), labelFont,
                                QRect(8, eObjectDsplyTimeLabel->y(), 116, labelHeight));
    const LabelledEdit id = MakeLabelledEdit(this, QStringLiteral("eObjectID"), QStringLiteral("Object ID:"),
                                             QStringLiteral("0"), labelFont, QRect(199, secondRow, 40, 21), 62);
    eObjectIDLabel = id.label;
    eObjectID = id.edit;
    ObjectIDUpDown = MakeUpDown(this, QStringLiteral("ObjectIDUpDown"), eObjectID, 100, 1);

    AddObject = MakeSpeedButton(this, QStringLiteral("AddObject"), QStringLiteral("Add"),
                                PictureIcon(QStringLiteral(":/buttons/add.png"), QStringLiteral(":/buttons/add-disabled.png")),
                                QRect(263, 348, 48, 25));
    DelObject = MakeSpeedButton(this, QStringLiteral("DelObject"), QStringLiteral("Del"),
                                PictureIcon(QStringLiteral(":/buttons/del.png"), QStringLiteral(":/buttons/del-disabled.png")),
                                QRect(312, 348, 49, 25));
    ApplyObject = MakeSpeedButton(this, QStringLiteral("ApplyObject"), QStringLiteral("Apply"),
                                  PictureIcon(QStringLiteral(":/buttons/apply.png")), QRect(281, 375, 60, 25));
    Presets = MakeSpeedButton(this, QStringLiteral("Presets"), QStringLiteral("Presets"),
                              PictureIcon(QStringLiteral(":/buttons/presets.png")), QRect(8, 392, 84, 23));

    PresetPopUp = new QMenu(this);
    PresetPopUp->setObjectName(QStringLiteral("PresetPopUp"));
    PresetPopUp->setFont(ControlFont());
    CenterSafe = PresetPopUp->addAction(QStringLiteral("Center Safe"));
    CenterSafe->setObjectName(QStringLiteral("CenterSafe"));
    SplashScreenCenter = PresetPopUp->addAction(QStringLiteral("SplashScreen - Center"));
    SplashScreenCenter->setObjectName(QStringLiteral("SplashScreenCenter"));
    BackgroundTiledZindle1 = PresetPopUp->addAction(QStringLiteral("Background (TiledZindle)"));
    BackgroundTiledZindle1->setObjectName(QStringLiteral("BackgroundTiledZindle1"));

    mapModel_ = new ObjectListModel(session_, ObjectKind::Map, this);
    screenModel_ = new ObjectListModel(session_, ObjectKind::Screen, this);
    MapObjectList->setModel(mapModel_);
    ScreenObjectList->setModel(screenModel_);

    connect(SortObjects, &QToolButton::clicked, this, &ObjectsSection::SortObjectsClick);
    connect(&session_, &app::DocumentSession::viewStateRequested, this, &ObjectsSection::ShowViewState);
}

ObjectsSection::~ObjectsSection()
{
    // The views let go of the models before either is deleted.
    MapObjectList->setModel(nullptr);
    ScreenObjectList->setModel(nullptr);
}

QListView* ObjectsSection::ListOf(ObjectKind kind) const
{
    return kind == ObjectKind::Map ? MapObjectList : ScreenObjectList;
}

ObjectKind ObjectsSection::ShownKind() const
{
    return KindOfObjectsBoxIndex(ObjectsBox->currentIndex());
}

void ObjectsSection::ResetControls()
{
    ObjectsBox->setCurrentIndex(0);
    ScreenObjectList->hide();
    MapObjectList->show();
    ShowPlaceholder(ObjectImageBox, QStringLiteral("IMAGE#"));
    eObjectX->clear();
    eObjectY->clear();
    ShowPlaceholder(ObjectLayerBox, QStringLiteral("Layer"));
    ShowPlaceholder(ObjectModeBox, QStringLiteral("Mode"));
    eObjectDsplyTime->setText(QStringLiteral("0"));
    eObjectID->setText(QStringLiteral("0"));
}

void ObjectsSection::Refresh() {}

namespace {
app::RowSelection SelectionOf(const QListView* view)
{
    app::RowSelection selection;
    const QItemSelectionModel* model = view->selectionModel();
    if (!model)
        return selection;
    for (const QItemSelectionRange& range : model->selection())
        selection.ranges.emplace_back(static_cast<std::size_t>(range.top()), static_cast<std::size_t>(range.bottom()));
    std::sort(selection.ranges.begin(), selection.ranges.end());
    // Ranges that touch become one.
    std::vector<std::pair<std::size_t, std::size_t>> merged;
    for (const auto& range : selection.ranges) {
        if (!merged.empty() && range.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, range.second);
        else
            merged.push_back(range);
    }
    selection.ranges = std::move(merged);
    if (const QModelIndex current = model->currentIndex(); current.isValid())
        selection.current = static_cast<std::size_t>(current.row());
    return selection;
}

void ShowSelection(QListView* view, const app::RowSelection& selection)
{
    QItemSelectionModel* model = view->selectionModel();
    QAbstractItemModel* rows = view->model();
    const int count = rows->rowCount();
    QItemSelection wanted;
    for (const auto& [first, last] : selection.ranges) {
        if (first >= static_cast<std::size_t>(count))
            break;
        const int bottom = static_cast<int>(std::min<std::size_t>(last, static_cast<std::size_t>(count - 1)));
        wanted.select(rows->index(static_cast<int>(first), 0), rows->index(bottom, 0));
    }
    model->select(wanted, QItemSelectionModel::ClearAndSelect);
    if (selection.current && *selection.current < static_cast<std::size_t>(count))
        model->setCurrentIndex(rows->index(static_cast<int>(*selection.current), 0), QItemSelectionModel::NoUpdate);
    else
        model->clearCurrentIndex();
}
}  // namespace

app::ViewState ObjectsSection::CurrentViewState() const
{
    app::ViewState state;
    state.shown = ShownKind();
    state.map = SelectionOf(MapObjectList);
    state.screen = SelectionOf(ScreenObjectList);
    return state;
}

void ObjectsSection::ShowViewState(const app::ViewState& state)
{
    if (ShownKind() != state.shown) {
        ObjectsBox->setCurrentIndex(state.shown == ObjectKind::Screen ? 1 : 0);
        ListOf(OtherKind(state.shown))->hide();
        ListOf(state.shown)->show();
    }
    ShowSelection(MapObjectList, state.map);
    ShowSelection(ScreenObjectList, state.screen);
}

void ObjectsSection::SortObjectsClick()
{
    emit sortDialogRequested();
}

void ObjectsSection::SortRequested(ObjectKind kind, std::optional<SortKey> key)
{
    Guarded(prompter_, window(), [&] {
        auto command = std::make_unique<app::SortObjectsCommand>(session_, kind, key);
        command->setViewBefore(CurrentViewState());
        session_.push(std::move(command));
    });
}

}  // namespace qel::ui
