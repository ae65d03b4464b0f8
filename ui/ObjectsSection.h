#pragma once
// "Objects Section": the map and screen object lists and the controls that
// describe one object. Its controls are its own; others reach it through
// the methods below.

#include <QGroupBox>
#include <QPoint>
#include <QSize>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

#include "app/DocumentSession.h"
#include "app/ViewState.h"
#include "core/ObjectEditor.h"
#include "core/ObjectSort.h"
#include "core/Presets.h"
#include "ui/ObjectListView.h"

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QItemSelectionModel;
class QMenu;
class QToolButton;

namespace qel::app {
class ObjectCommands;
}

namespace qel::ui {

class ObjectFilterBar;
class ObjectListModel;
class Prompter;
class UpDownButton;

// What the editor's combo boxes show with no entry chosen.
inline const QString kImagePlaceholder = QStringLiteral("IMAGE#");
inline const QString kLayerPlaceholder = QStringLiteral("Layer");
inline const QString kModePlaceholder = QStringLiteral("Mode");

class ObjectsSection : public QGroupBox {
    Q_OBJECT
public:
    // The commands change the document; the section reads its controls for
    // them and shows what they return.
    ObjectsSection(app::DocumentSession& session, app::ObjectCommands& commands, Prompter& prompter,
                   QWidget* parent = nullptr);
    ~ObjectsSection() override;

    // The section's part of ResetDocument: map objects shown, the object
    // editor's controls back to their start.
    void ResetControls();
    // The section's part of the periodic refresh: the buttons that need
    // objects of the shown kind.
    void Refresh();

    // The kind in view and both lists' selections and current rows.
    app::ViewState CurrentViewState() const;
    void ShowViewState(const app::ViewState& state);
    // The object kind the ObjectsBox selection stands for.
    ObjectKind ShownKind() const;

    // Shows `kind`'s list with only `row` selected and current, and loads
    // the row into the editor, as a click on it does.
    void makeRowCurrent(ObjectKind kind, std::size_t row);
    // The map list's selection, for other views of the map objects to share.
    QItemSelectionModel* mapSelection() const;
    QItemSelectionModel* screenSelection() const;
    // The object editor's values as Add would read them (before its tile
    // shorthand), for placing objects from another view.
    EditorValues editorValues() const { return ReadEditorValues(); }
    // Makes the image at `position` the editor's choice, as picking it in
    // ObjectImageBox does (the palette beside the map).
    void chooseImage(int position);
    // The row whose values the editor shows: the row last loaded (a click,
    // an Apply), followed while steps move it; none once it is deleted, its
    // list shown anew without knowing where it went, or a preset or a new
    // document filled the editor.
    struct LoadedRow {
        ObjectKind kind;
        std::size_t row;
    };
    std::optional<LoadedRow> loadedRow() const;

    // ObjectImageBox takes exactly `items`; its text stays as it was, and no
    // item is chosen afterwards.
    void setImageItems(const QStringList& items);
    // The first part of the periodic refresh: the items are taken when their
    // number differs from ObjectImageBox's (equal counts are left alone).
    void followImageItems(const QStringList& items);

    ObjectListModel* mapModel() const { return mapModel_; }
    ObjectListModel* screenModel() const { return screenModel_; }

    // Handlers.
    void ObjectsBoxChange(int index);
    void MapObjectListClick();
    void ScreenObjectListClick();
    void AddObjectClick();
    void ApplyObjectClick();
    void DelObjectClick();
    void ClearObjectListClick();
    // Enter expands the tile shorthand and is passed on.
    void eObjectXKeyPress(QKeyEvent* event);
    void eObjectYKeyPress(QKeyEvent* event);
    void eObjectXExit();
    void eObjectYExit();
    void PresetsClick();
    void CenterSafeClick();
    void SplashScreenCenterClick();
    void BackgroundTiledZindle1Click();
    void SwitchClick();
    void SortObjectsClick();
    // The Sort Objects dialog's Sort: sort the kind by the key (when one is
    // chosen) and regenerate both lists, as one step.
    void SortRequested(ObjectKind kind, std::optional<SortKey> key);

    // The keyboard to the filter box of the list in view.
    void FocusFilter();
    // The map rows the map list's filter keeps (ascending), or none when it
    // keeps every row.
    std::shared_ptr<const std::vector<std::uint32_t>> mapKeptRows() const;
    // The rows `kind`'s filter shows, or null when it shows every row.
    std::shared_ptr<const std::vector<std::uint32_t>> keptRows(ObjectKind kind) const;
    // Asks for the fields to change and changes them in every selected row
    // of the list in view, as one step.
    void ChangeSelectedClick();
    // The same on `kind`'s list, whichever list is in view (the map view's menu).
    void ChangeSelectedOf(ObjectKind kind);

    // Where PresetsClick opens PresetPopUp, on the screen.
    QPoint PresetPopUpPoint() const;

signals:
    // SortObjects was pressed: the window shows its Sort Objects dialog.
    void sortDialogRequested();
    // ObjectImageBox's text changed: whether an object can be placed may too.
    void objectImageChanged();
    // The editor took every value of the row (a click, an Apply): it shows
    // that row from now on.
    void rowLoaded(qel::ObjectKind kind, std::size_t row);
    // The context menu of `kind`'s list, over `row` (-1: no row).
    void objectMenuRequested(qel::ObjectKind kind, int row, QPoint globalPos);
    // The map list's filter keeps other rows now.
    void mapKeptRowsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The constructor's parts: the buttons and the presets' menu; the lists'
    // models and every connection.
    void MakeButtons();
    void LinkControls();
    ObjectListView* ListView(ObjectKind kind) const;
    // ObjectsBox and the visible list for `kind`.
    void ShowKind(ObjectKind kind);
    EditorValues ReadEditorValues() const;
    void ShowEditorValues(const EditorValues& values);
    // The edit's text through the tile shorthand, written back at once.
    void ExpandShorthand(QLineEdit* edit, char marker);
    void ShorthandOnEdit(QLineEdit* edit);
    void LoadObjectOf(ObjectKind kind);
    // Shows every value of `row` and follows it from now on.
    void LoadRow(ObjectKind kind, std::size_t row);
    // The editor's controls one by one (see Field), as texts.
    enum Field { X, Y, Image, Layer, Mode, DisplayTime, ObjectId, kFields };
    QString FieldText(Field field) const;
    void ShowField(Field field, const EditorValues& values);
    static bool SameField(Field field, const EditorValues& a, const EditorValues& b);
    // The loaded row changed, moved or went: the editor shows its new values
    // in the fields the user has not typed into since it was loaded.
    void FollowRowsInserted(app::DocumentList list, int first, int last);
    void FollowRowsRemoved(app::DocumentList list, int first, int last);
    void FollowListReset(app::DocumentList list);
    void FollowLoadedRow();
    // Center Safe and Splash: the preset's values and kind, when it made any.
    void ShowPreset(const std::optional<EditorPreset>& preset);

    app::DocumentSession& session_;
    app::ObjectCommands& commands_;
    Prompter& prompter_;
    // The loaded row with the values it had when last shown and what each
    // field showed then: a field showing something else was typed into.
    struct Loaded {
        ObjectKind kind;
        std::size_t row;
        EditorValues values;
        std::int32_t imageNumber;
        std::array<QString, kFields> shown;
    };
    std::optional<Loaded> loaded_;
    ObjectListModel* mapModel_;
    ObjectListModel* screenModel_;

    QComboBox* ObjectsBox;
    QToolButton* SortObjects;
    QToolButton* Switch;
    ObjectListView* MapObjectList;
    ObjectListView* ScreenObjectList;
    ObjectFilterBar* mapFilter_;
    ObjectFilterBar* screenFilter_;
    QToolButton* ClearObjectList;
    QLabel* eObjectXLabel;
    QLineEdit* eObjectX;
    QLabel* eObjectYLabel;
    QLineEdit* eObjectY;
    QLabel* ObjectImageLabel;
    QComboBox* ObjectImageBox;
    QLabel* ObjectLayerLabel;
    QComboBox* ObjectLayerBox;
    QLabel* ObjectModeLabel;
    QComboBox* ObjectModeBox;
    QLabel* eObjectDsplyTimeLabel;
    QLineEdit* eObjectDsplyTime;
    UpDownButton* DsplyTimeUpDown;
    QLabel* eObjectIDLabel;
    QLineEdit* eObjectID;
    UpDownButton* ObjectIDUpDown;
    QToolButton* AddObject;
    QToolButton* DelObject;
    QToolButton* ApplyObject;
    QToolButton* Presets;
    QMenu* PresetPopUp;
    QAction* CenterSafe;
    QAction* SplashScreenCenter;
    QAction* BackgroundTiledZindle1;
};

}  // namespace qel::ui
