#include "ui/ObjectsSection.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

#include "app/DocumentSession.h"
#include "app/ObjectCommands.h"
#include "core/Errors.h"
#include "core/IntConversion.h"
#include "core/Keywords.h"
#include "platform/PictureService.h"
#include "ui/Controls.h"
#include "ui/Guarded.h"
#include "ui/Latin1Text.h"
#include "ui/ObjectFilterBar.h"
#include "ui/ObjectListModel.h"
#include "ui/ObjectListView.h"
#include "ui/Prompter.h"
#include "ui/UpDownButton.h"

namespace qel::ui {

namespace {
ObjectListView* MakeObjectList(QWidget* parent, const QString& objectName)
{
    auto* list = new ObjectListView(parent);
    list->setObjectName(objectName);
    list->setFont(ControlFont());
    list->setGeometry(8, 48, 353, 241);
    return list;
}

// Inside a handler that Guarded runs: ends it with the command's failure.
void ThrowFailure(const app::CommandStatus& status)
{
    if (status.failure)
        std::rethrow_exception(status.failure);
}

QStringList Keywords(const auto& table)
{
    QStringList items;
    for (std::string_view keyword : table)
        items << qel::ui::FromBytes(keyword);
    return items;
}

}  // namespace

ObjectsSection::ObjectsSection(app::DocumentSession& session, app::ObjectCommands& commands, Prompter& prompter,
                               QWidget* parent)
    : QGroupBox(parent), session_(session), commands_(commands), prompter_(prompter)
{
    MakeSection(this, QStringLiteral("ObjectsSection"), QStringLiteral("Objects Section"), QRect(312, 32, 369, 417));

    ObjectsBox = MakeEditableCombo(this, QStringLiteral("ObjectsBox"),
                                   {QStringLiteral("MapObjects"), QStringLiteral("ScreenObjects")},
                                   QStringLiteral("MapObjects"), QRect(8, 21, 140, 22));
    ObjectsBox->setFont(SmallBoldFont());
    ObjectsBox->lineEdit()->setFont(SmallBoldFont());
    SortObjects = MakeSpeedButton(
        this, QStringLiteral("SortObjects"), QString(),
        PictureIcon(QStringLiteral(":/buttons/sort.png"), QStringLiteral(":/buttons/sort-disabled.png")),
        QRect(151, 20, 24, 24));
    SortObjects->setToolTip(QStringLiteral("Sort objects"));
    Switch = MakeSpeedButton(this, QStringLiteral("Switch"), QStringLiteral("<-->"),
                             PictureIcon(QStringLiteral(":/buttons/switch.png")), QRect(284, 19, 77, 25));
    Switch->setToolTip(QStringLiteral("Switch map and screen: copy the selected objects to the other list"));

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
    connect(ObjectImageBox, &QComboBox::currentTextChanged, this, &ObjectsSection::objectImageChanged);
    ObjectLayerLabel = MakeLabel(this, QStringLiteral("ObjectLayerLabel"), QStringLiteral("Layer:"), labelFont,
                                 QRect(212, labelTop, 120, labelHeight));
    ObjectLayerBox = MakeEditableCombo(this, QStringLiteral("ObjectLayerBox"), Keywords(qel::kLayerKeywords),
                                       QStringLiteral("Layer"), QRect(212, 309, 122, 22));
    ClearObjectList = MakeSpeedButton(
        this, QStringLiteral("ClearObjectList"), QString(),
        PictureIcon(QStringLiteral(":/buttons/clear.png"), QStringLiteral(":/buttons/clear-disabled.png")),
        QRect(338, 308, 23, 24));
    ClearObjectList->setToolTip(QStringLiteral("Clear object list"));

    const int secondRow = 352;
    QStringList modes = Keywords(qel::kModeKeywords);
    modes << qel::ui::FromBytes(qel::kModeNoneItem);
    ObjectModeBox = MakeEditableCombo(this, QStringLiteral("ObjectModeBox"), modes, QStringLiteral("Mode"),
                                      QRect(8, secondRow, 116, 22));
    const LabelledEdit time = MakeLabelledEdit(this, QStringLiteral("eObjectDsplyTime"), QStringLiteral("DsplyTime:"),
                                               QStringLiteral("0"), labelFont, QRect(127, secondRow, 46, 21), 70);
    eObjectDsplyTimeLabel = time.label;
    eObjectDsplyTime = time.edit;
    DsplyTimeUpDown = UpDownButton::Attached(this, QStringLiteral("DsplyTimeUpDown"), eObjectDsplyTime, 32000, 10);
    ObjectModeLabel = MakeLabel(this, QStringLiteral("ObjectModeLabel"), QStringLiteral("Mode:"), labelFont,
                                QRect(8, eObjectDsplyTimeLabel->y(), 116, labelHeight));
    const LabelledEdit id = MakeLabelledEdit(this, QStringLiteral("eObjectID"), QStringLiteral("Object ID:"),
                                             QStringLiteral("0"), labelFont, QRect(199, secondRow, 40, 21), 62);
    eObjectIDLabel = id.label;
    eObjectID = id.edit;
    ObjectIDUpDown = UpDownButton::Attached(this, QStringLiteral("ObjectIDUpDown"), eObjectID, 100, 1);

    MakeButtons();
    LinkControls();
}

void ObjectsSection::MakeButtons()
{
    AddObject =
        MakeSpeedButton(this, QStringLiteral("AddObject"), QStringLiteral("Add"),
                        PictureIcon(QStringLiteral(":/buttons/add.png"), QStringLiteral(":/buttons/add-disabled.png")),
                        QRect(263, 348, 48, 25));
    DelObject =
        MakeSpeedButton(this, QStringLiteral("DelObject"), QStringLiteral("Del"),
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
}

void ObjectsSection::LinkControls()
{
    mapModel_ = new ObjectListModel(session_, ObjectKind::Map, this);
    screenModel_ = new ObjectListModel(session_, ObjectKind::Screen, this);
    MapObjectList->setModel(mapModel_);
    ScreenObjectList->setModel(screenModel_);
    mapFilter_ = new ObjectFilterBar(session_, ObjectKind::Map, *MapObjectList);
    screenFilter_ = new ObjectFilterBar(session_, ObjectKind::Screen, *ScreenObjectList);
    connect(mapFilter_, &ObjectFilterBar::keptRowsChanged, this, &ObjectsSection::mapKeptRowsChanged);

    connect(ObjectsBox, &QComboBox::currentIndexChanged, this, &ObjectsSection::ObjectsBoxChange);
    connect(MapObjectList, &ObjectListView::currentRowChosen, this, &ObjectsSection::MapObjectListClick);
    connect(ScreenObjectList, &ObjectListView::currentRowChosen, this, &ObjectsSection::ScreenObjectListClick);
    connect(MapObjectList, &ObjectListView::deletePressed, this, &ObjectsSection::DelObjectClick);
    connect(ScreenObjectList, &ObjectListView::deletePressed, this, &ObjectsSection::DelObjectClick);
    connect(MapObjectList, &ObjectListView::menuRequested, this,
            [this](int row, QPoint at) { emit objectMenuRequested(ObjectKind::Map, row, at); });
    connect(ScreenObjectList, &ObjectListView::menuRequested, this,
            [this](int row, QPoint at) { emit objectMenuRequested(ObjectKind::Screen, row, at); });
    connect(AddObject, &QToolButton::clicked, this, &ObjectsSection::AddObjectClick);
    connect(ApplyObject, &QToolButton::clicked, this, &ObjectsSection::ApplyObjectClick);
    connect(DelObject, &QToolButton::clicked, this, &ObjectsSection::DelObjectClick);
    connect(ClearObjectList, &QToolButton::clicked, this, &ObjectsSection::ClearObjectListClick);
    connect(Presets, &QToolButton::clicked, this, &ObjectsSection::PresetsClick);
    connect(CenterSafe, &QAction::triggered, this, &ObjectsSection::CenterSafeClick);
    connect(SplashScreenCenter, &QAction::triggered, this, &ObjectsSection::SplashScreenCenterClick);
    connect(BackgroundTiledZindle1, &QAction::triggered, this, &ObjectsSection::BackgroundTiledZindle1Click);
    connect(Switch, &QToolButton::clicked, this, &ObjectsSection::SwitchClick);
    connect(SortObjects, &QToolButton::clicked, this, &ObjectsSection::SortObjectsClick);
    connect(&session_, &app::DocumentSession::viewStateRequested, this, &ObjectsSection::ShowViewState);
    // After the models: the lists show the change before the editor does.
    connect(&session_, &app::DocumentSession::rowsInserted, this, &ObjectsSection::FollowRowsInserted);
    connect(&session_, &app::DocumentSession::rowsRemoved, this, &ObjectsSection::FollowRowsRemoved);
    connect(&session_, &app::DocumentSession::rowsChanged, this, [this](app::DocumentList list) {
        if (loaded_ && list == app::DocumentListOf(loaded_->kind))
            FollowLoadedRow();
    });
    connect(&session_, &app::DocumentSession::listReset, this, &ObjectsSection::FollowListReset);
    connect(&session_, &app::DocumentSession::documentReplaced, this, [this] { loaded_.reset(); });
    for (QLineEdit* edit : {eObjectX, eObjectY})
        edit->installEventFilter(this);
}

ObjectsSection::~ObjectsSection()
{
    // The views let go of the models before either is deleted.
    MapObjectList->setModel(nullptr);
    ScreenObjectList->setModel(nullptr);
}

ObjectListView* ObjectsSection::ListView(ObjectKind kind) const
{
    return kind == ObjectKind::Map ? MapObjectList : ScreenObjectList;
}

namespace {
// The object kind for an ObjectsBox index: 1 is screen objects; 0 and no
// selection (-1), like any other index, are map objects.
ObjectKind KindOfObjectsBoxIndex(int index)
{
    return index == 1 ? ObjectKind::Screen : ObjectKind::Map;
}
}  // namespace

ObjectKind ObjectsSection::ShownKind() const
{
    return KindOfObjectsBoxIndex(ObjectsBox->currentIndex());
}

void ObjectsSection::ResetControls()
{
    loaded_.reset();
    ObjectsBox->setCurrentIndex(0);
    ScreenObjectList->hide();
    MapObjectList->show();
    ShowPlaceholder(ObjectImageBox, kImagePlaceholder);
    eObjectX->clear();
    eObjectY->clear();
    ShowPlaceholder(ObjectLayerBox, kLayerPlaceholder);
    ShowPlaceholder(ObjectModeBox, kModePlaceholder);
    eObjectDsplyTime->setText(QStringLiteral("0"));
    eObjectID->setText(QStringLiteral("0"));
}

void ObjectsSection::Refresh()
{
    // ObjectImageBox follows ImageBox in the window's refresh, before this.
    const DefinitionDocument& doc = session_.document();
    const std::size_t count = doc.objects(ShownKind()).size();
    // At exactly one object the sort button keeps its state.
    if (count == 0)
        SortObjects->setEnabled(false);
    else if (count >= 2)
        SortObjects->setEnabled(true);
    Switch->setEnabled(count > 0);
    ClearObjectList->setEnabled(count > 0);
}

app::ViewState ObjectsSection::CurrentViewState() const
{
    app::ViewState state;
    state.shown = ShownKind();
    state.map = MapObjectList->rowSelection();
    state.screen = ScreenObjectList->rowSelection();
    return state;
}

void ObjectsSection::ShowViewState(const app::ViewState& state)
{
    if (ShownKind() != state.shown || !ListView(state.shown)->isVisibleTo(this))
        ShowKind(state.shown);
    MapObjectList->showRowSelection(state.map);
    ScreenObjectList->showRowSelection(state.screen);
}

void ObjectsSection::makeRowCurrent(ObjectKind kind, std::size_t row)
{
    ShowKind(kind);
    ObjectListView* list = ListView(kind);
    list->showRowSelection(app::RowSelection::ofRows({row}, row));
    if (row < static_cast<std::size_t>(list->model()->rowCount()))
        list->scrollTo(list->model()->index(static_cast<int>(row), 0));
    LoadObjectOf(kind);
}

QItemSelectionModel* ObjectsSection::mapSelection() const
{
    return MapObjectList->selectionModel();
}

QItemSelectionModel* ObjectsSection::screenSelection() const
{
    return ScreenObjectList->selectionModel();
}

void ObjectsSection::setImageItems(const QStringList& items)
{
    const QString text = ObjectImageBox->currentText();
    ObjectImageBox->clear();
    ObjectImageBox->addItems(items);
    ObjectImageBox->setCurrentIndex(-1);
    ObjectImageBox->setEditText(text);
}

void ObjectsSection::followImageItems(const QStringList& items)
{
    if (items.size() != ObjectImageBox->count())
        setImageItems(items);
}

void ObjectsSection::ShowKind(ObjectKind kind)
{
    ShowChoice(ObjectsBox, kind == ObjectKind::Screen ? 1 : 0, QString());
    ListView(OtherKind(kind))->hide();
    ListView(kind)->show();
}

// ---------------------------------------------------------------- the loaded row

std::optional<ObjectsSection::LoadedRow> ObjectsSection::loadedRow() const
{
    if (!loaded_)
        return std::nullopt;
    return LoadedRow{loaded_->kind, loaded_->row};
}

void ObjectsSection::LoadRow(ObjectKind kind, std::size_t row)
{
    const std::optional<EditorValues> values = LoadObject(session_.document(), kind, row);
    if (!values)
        return;
    ShowEditorValues(*values);
    loaded_ = Loaded{kind, row, *values, session_.document().objects(kind).fields(row).image, {}};
    for (int field = 0; field < kFields; ++field)
        loaded_->shown[field] = FieldText(static_cast<Field>(field));
    emit rowLoaded(kind, row);
}

void ObjectsSection::FollowLoadedRow()
{
    // One row whatever the list's length: this runs at every notice.
    const std::optional<EditorValues> values = LoadObject(session_.document(), loaded_->kind, loaded_->row);
    // A row without fields shows nothing, as a click on it would; its values
    // are shown once it has fields again.
    if (!values)
        return;
    // The image follows the row's image number: images that come and go
    // change what a number stands for, not the row.
    const std::int32_t number = session_.document().objects(loaded_->kind).fields(loaded_->row).image;
    for (int field = 0; field < kFields; ++field) {
        const auto f = static_cast<Field>(field);
        const bool same = f == Image ? number == loaded_->imageNumber : SameField(f, *values, loaded_->values);
        if (same || FieldText(f) != loaded_->shown[field])
            continue;
        ShowField(f, *values);
        loaded_->shown[field] = FieldText(f);
    }
    loaded_->values = *values;
    loaded_->imageNumber = number;
}

void ObjectsSection::FollowRowsInserted(app::DocumentList list, int first, int last)
{
    if (!loaded_ || list != app::DocumentListOf(loaded_->kind))
        return;
    if (loaded_->row >= static_cast<std::size_t>(first))
        loaded_->row += static_cast<std::size_t>(last - first + 1);
    FollowLoadedRow();
}

void ObjectsSection::FollowRowsRemoved(app::DocumentList list, int first, int last)
{
    if (!loaded_ || list != app::DocumentListOf(loaded_->kind))
        return;
    if (loaded_->row > static_cast<std::size_t>(last)) {
        loaded_->row -= static_cast<std::size_t>(last - first + 1);
    } else if (loaded_->row >= static_cast<std::size_t>(first)) {
        // The editor keeps the values: they are the user's to use now.
        loaded_.reset();
        return;
    }
    FollowLoadedRow();
}

void ObjectsSection::FollowListReset(app::DocumentList list)
{
    if (!loaded_ || list != app::DocumentListOf(loaded_->kind))
        return;
    const app::DocumentSession::RowMap* where = session_.resetRowMap();
    const std::optional<std::size_t> row = where ? (*where)(loaded_->row) : std::nullopt;
    if (!row) {
        loaded_.reset();
        return;
    }
    loaded_->row = *row;
    FollowLoadedRow();
}

// ---------------------------------------------------------------- lists

void ObjectsSection::ObjectsBoxChange(int index)
{
    if (index == 0 || index == 1) {
        const ObjectKind kind = KindOfObjectsBoxIndex(index);
        ListView(OtherKind(kind))->hide();
        ListView(kind)->show();
    }
}

void ObjectsSection::LoadObjectOf(ObjectKind kind)
{
    const QModelIndex current = ListView(kind)->currentIndex();
    if (current.isValid())
        LoadRow(kind, static_cast<std::size_t>(current.row()));
}

void ObjectsSection::MapObjectListClick()
{
    LoadObjectOf(ObjectKind::Map);
}

void ObjectsSection::ScreenObjectListClick()
{
    LoadObjectOf(ObjectKind::Screen);
}

void ObjectsSection::AddObjectClick()
{
    Guarded(prompter_, window(), [&] {
        // Each edit shows its expansion at once, so a failure in Y leaves X
        // expanded.
        ExpandShorthand(eObjectX, kEditMarker);
        ExpandShorthand(eObjectY, kEditMarker);
        ThrowFailure(commands_.add(ShownKind(), ReadEditorValues(), CurrentViewState()));
    });
}

void ObjectsSection::ApplyObjectClick()
{
    const ObjectKind kind = ShownKind();
    const QModelIndex current = ListView(kind)->currentIndex();
    if (!current.isValid())
        return;
    Guarded(prompter_, window(), [&] {
        ExpandShorthand(eObjectX, kApplyMarker);
        ExpandShorthand(eObjectY, kApplyMarker);
        const auto row = static_cast<std::size_t>(current.row());
        const std::uint64_t before = session_.document().changeCount();
        const app::CommandStatus status = commands_.apply(kind, ReadEditorValues(), row, CurrentViewState());
        // What was typed is in the row now: the editor shows the row as a
        // click on it would, and follows it; also when a later row stopped
        // the rebuild, as long as the step was made.
        if (status.done() || session_.document().changeCount() != before)
            LoadRow(kind, row);
        ThrowFailure(status);
    });
}

void ObjectsSection::DelObjectClick()
{
    const ObjectKind kind = ShownKind();
    ShowStatus(prompter_, window(), commands_.remove(kind, ListView(kind)->rowSelection().rows(), CurrentViewState()));
}

void ObjectsSection::ClearObjectListClick()
{
    ShowStatus(prompter_, window(), commands_.clear(ShownKind(), CurrentViewState()));
}

void ObjectsSection::SwitchClick()
{
    const ObjectKind shown = ShownKind();
    const app::CommandStatus status =
        commands_.switchKind(shown, ListView(shown)->rowSelection().rows(), CurrentViewState());
    // The other kind is shown also when nothing was copied, or when its
    // rebuild failed, before the failure is reported.
    if (ShownKind() == shown)
        ShowKind(OtherKind(shown));
    ShowStatus(prompter_, window(), status);
}

void ObjectsSection::FocusFilter()
{
    (ShownKind() == ObjectKind::Map ? mapFilter_ : screenFilter_)->focusBox();
}

std::shared_ptr<const std::vector<std::uint32_t>> ObjectsSection::mapKeptRows() const
{
    return mapFilter_->keptRows();
}

std::shared_ptr<const std::vector<std::uint32_t>> ObjectsSection::keptRows(ObjectKind kind) const
{
    return (kind == ObjectKind::Map ? mapFilter_ : screenFilter_)->keptRows();
}

void ObjectsSection::ChangeSelectedClick()
{
    ChangeSelectedOf(ShownKind());
}

void ObjectsSection::ChangeSelectedOf(ObjectKind kind)
{
    const std::vector<std::size_t> rows = ListView(kind)->rowSelection().rows();
    if (rows.empty())
        return;
    // The dialog starts from what the editor shows, every box unticked.
    const auto number = [](const QLineEdit* edit) { return TryStrToInt(CheckedBytes(edit->text())).value_or(0); };
    ObjectChangeFields start;
    start.image.value = std::max(ChoiceOf(ObjectImageBox), 0);
    start.layer.value = std::max(ChoiceOf(ObjectLayerBox), 0);
    start.mode.value =
        ChoiceOf(ObjectModeBox) >= 0 && ChoiceOf(ObjectModeBox) < kModeNoneIndex ? ChoiceOf(ObjectModeBox) : 0;
    start.displayTime.value = std::max(number(eObjectDsplyTime), 0);
    start.objectId.value = std::max(number(eObjectID), 0);
    QStringList images;
    for (int i = 0; i < ObjectImageBox->count(); ++i)
        images << ObjectImageBox->itemText(i);
    const std::optional<ObjectChangeFields> answer = prompter_.askObjectChange(window(), images, start);
    if (!answer)
        return;
    ObjectChange change;
    const auto chosen = [](const ObjectChangeFields::Field& field) {
        return field.change ? std::optional<std::int32_t>(field.value) : std::nullopt;
    };
    change.dx = answer->dx.change ? answer->dx.value : 0;
    change.dy = answer->dy.change ? answer->dy.value : 0;
    if (answer->image.change)
        change.imageNumber = ImageNumberOfChoice(session_.document().images(), answer->image.value);
    change.layer = chosen(answer->layer);
    change.mode = chosen(answer->mode);
    change.displayTime = chosen(answer->displayTime);
    change.objectId = chosen(answer->objectId);
    ShowStatus(prompter_, window(), commands_.changeSelected(kind, rows, change, CurrentViewState()));
}

void ObjectsSection::SortObjectsClick()
{
    emit sortDialogRequested();
}

void ObjectsSection::SortRequested(ObjectKind kind, std::optional<SortKey> key)
{
    ShowStatus(prompter_, window(), commands_.sort(kind, key, CurrentViewState()));
}

}  // namespace qel::ui
