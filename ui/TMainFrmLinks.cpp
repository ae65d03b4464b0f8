#include "ui/TMainFrm.h"

// How the window's parts reach each other: the sections, the object
// commands, the map and problems windows, recent files, the compiler's
// window and the disk.

#include <QItemSelectionModel>
#include <QMenu>

#include "app/CompilerRun.h"
#include "app/DocumentFiles.h"
#include "app/ProblemMonitor.h"
#include "platform/FileNameText.h"
#include "platform/FileOperations.h"
#include "ui/CompilerOutput.h"
#include "ui/DiskFollower.h"
#include "ui/FileSection.h"
#include "ui/ImageSection.h"
#include "ui/MainMenus.h"
#include "ui/MainStatusBar.h"
#include "ui/MapViewOpener.h"
#include "ui/ObjectActions.h"
#include "ui/ObjectsSection.h"
#include "ui/PreviewSection.h"
#include "ui/ProblemsOpener.h"
#include "ui/RecentFilesMenu.h"
#include "ui/TSortFrm.h"

void TMainFrm::LinkSections()
{
    using namespace qel::ui;
    connect(fileSection, &FileSection::FileListClicked, previewSection,
            [this] { previewSection->FileListClick(fileSection->FocusedFileRow()); });
    connect(fileSection, &FileSection::pictureHideRequested, previewSection, &PreviewSection::HidePicture);
    connect(imageSection, &ImageSection::animationPictureHideRequested, previewSection,
            &PreviewSection::HideAnimationPicture);
    connect(imageSection, &ImageSection::animationRequested, previewSection, &PreviewSection::AniPreviewClick);
    connect(imageSection, &ImageSection::imageItemsReplaced, objectsSection, &ObjectsSection::setImageItems);
    connect(objectsSection, &ObjectsSection::sortDialogRequested, this, &TMainFrm::SortObjectsClick);

    mapViewOpener_ = std::make_unique<MapViewOpener>(session_, *objectCommands_, *objectsSection, store_, *pictures_,
                                                     prompter_, *this);
    LinkObjectActions();
    menus_->addViewEntry(mapViewOpener_->entry());
    mapViewOpener_->setShowImage([this](int position) {
        imageSection->selectImage(static_cast<std::size_t>(position));
        raise();
        activateWindow();
    });
    problems_ = std::make_unique<ProblemsOpener>(session_, *pictures_, *files_, *Status, *this);
    menus_->addViewEntry(problems_->entry());
    connect(problems_.get(), &ProblemsOpener::problemActivated, this, &TMainFrm::ShowProblemCause);
}

void TMainFrm::LinkObjectActions()
{
    using namespace qel::ui;
    objectActions_ = new ObjectActions(*objectCommands_, session_, *objectsSection, prompter_, *this);
    objectActions_->setObjectName(QStringLiteral("ObjectActions"));
    mapViewOpener_->setObjectActions(objectActions_);
    connect(objectActions_, &ObjectActions::showInMapRequested, this,
            [this](int row) { guarded([&] { mapViewOpener_->showInMap(static_cast<std::size_t>(row)); }); });
    connect(objectActions_, &ObjectActions::changeSelectedRequested, objectsSection, &ObjectsSection::ChangeSelectedOf);
    for (QItemSelectionModel* selection : {objectsSection->mapSelection(), objectsSection->screenSelection()}) {
        const auto stale = [this] { selectionCountStale_ = true; };
        connect(selection, &QItemSelectionModel::selectionChanged, this, stale);
        // Rows that go or come with a reset take their selection with them.
        connect(selection->model(), &QAbstractItemModel::modelReset, this, stale);
        connect(selection->model(), &QAbstractItemModel::rowsRemoved, this, stale);
        connect(selection->model(), &QAbstractItemModel::rowsInserted, this, stale);
    }
    connect(menus_, &MainMenus::changeSelectedRequested, objectsSection, &ObjectsSection::ChangeSelectedClick);
    connect(menus_, &MainMenus::findRequested, objectsSection, &ObjectsSection::FocusFilter);
    connect(objectsSection, &ObjectsSection::objectMenuRequested, this,
            [this](qel::ObjectKind kind, int row, QPoint at) {
                QMenu menu(this);
                objectActions_->fillMenu(menu, kind, row < 0 ? std::nullopt : std::optional<std::size_t>(row), false,
                                         objectActions_->selectedRows(kind));
                menu.exec(at);
            });
}

void TMainFrm::ShowSelectionCount()
{
    // Counted again only after a change: a selection by image is a range per
    // row it took, too many to add up on every tick of the refresh.
    const qel::ObjectKind kind = objectsSection->ShownKind();
    if (!selectionCountStale_ && countedKind_ == kind)
        return;
    selectionCountStale_ = false;
    countedKind_ = kind;
    const QItemSelectionModel* selection =
        kind == qel::ObjectKind::Map ? objectsSection->mapSelection() : objectsSection->screenSelection();
    std::size_t count = 0;
    for (const QItemSelectionRange& range : selection->selection())
        count += static_cast<std::size_t>(range.height());
    Status->showSelectionCount(count);
    menus_->enableObjectEntries(count, static_cast<std::size_t>(selection->model()->rowCount()));
}

void TMainFrm::BuildFileFollowers()
{
    recent_.load();
    recentMenu_ = new qel::ui::RecentFilesMenu(*menus_->recentFilesMenu(), recent_,
                                               [this](const QString& path) { OpenRecent(path); });
    commands_->setFileUsed([this](const std::string& path) {
        recent_.add(qel::FileNameText(path));
        recentMenu_->refresh();
    });
    compilerOutput_ = new qel::ui::CompilerOutput(
        launcher_, compilerLogFolder_, [this](const QString& text) { Tell(text); }, *this);
    menus_->addViewEntry(compilerOutput_->entry());
    commands_->setCompiler(
        [this](const qel::app::CompilerProcess& process) {
            compilerOutput_->start(process, qel::FileNameText(qel::app::DocumentDisplayName(document())),
                                   document().currentFile());
        },
        [this] { return compilerOutput_->running(); });
}

void TMainFrm::OpenRecent(const QString& path)
{
    const qel::app::CommandStatus status = commands_->openRecent(qel::FileNameBytes(path));
    ShowStatus(status);
    // Only a read that failed tells: a cancelled question leaves the list.
    if (status.outcome == qel::app::CommandStatus::Outcome::Failed && !files_->exists(qel::FileNameBytes(path))) {
        recent_.remove(path);
        recentMenu_->refresh();
    }
}

void TMainFrm::ShowProblemCause(qel::ProblemPlace place, int row)
{
    if (row < 0)
        return;
    const auto at = static_cast<std::size_t>(row);
    const qel::DefinitionDocument& doc = document();
    // The list may have changed since the window was drawn.
    switch (place) {
    case qel::ProblemPlace::Files:
        if (at < doc.files().size())
            fileSection->selectFile(at);
        break;
    case qel::ProblemPlace::Images:
        if (at < doc.images().size())
            imageSection->selectImage(at);
        break;
    case qel::ProblemPlace::MapObjects:
    case qel::ProblemPlace::ScreenObjects: {
        const qel::ObjectKind kind =
            place == qel::ProblemPlace::MapObjects ? qel::ObjectKind::Map : qel::ObjectKind::Screen;
        if (at < doc.objects(kind).size()) {
            objectsSection->makeRowCurrent(kind, at);
            mapViewOpener_->showObject(kind, at);
        }
        break;
    }
    case qel::ProblemPlace::None:
        return;
    }
    activateWindow();
}

void TMainFrm::BuildDiskFollower()
{
    qel::ui::DiskFollower::Hooks hooks;
    hooks.showStatus = [this](const QString& text, int timeoutMs) { Status->showMessage(text, timeoutMs); };
    // What F5 does in each window, for the pictures that changed.
    hooks.picturesChanged = [this] {
        problems_->monitor().rereadPictures();
        mapViewOpener_->refreshPictures();
        previewSection->PicturesChanged();
    };
    diskFollower_ = std::make_unique<qel::ui::DiskFollower>(session_, *commands_, prompter_, *this, std::move(hooks));
}
void TMainFrm::CreateDialogs()
{
    dialogs_ = std::make_unique<qel::ui::WindowDialogs>(*this, settings_, prompter_);
    connect(SortFrm(), &TSortFrm::sortRequested, objectsSection, [this](qel::ObjectKind kind, int keyIndex) {
        std::optional<qel::SortKey> key;
        if (keyIndex >= 0 && keyIndex < qel::kSortKeyCount)
            key = static_cast<qel::SortKey>(keyIndex);
        objectsSection->SortRequested(kind, key);
    });
}
