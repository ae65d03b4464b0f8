#include "ui/FileSection.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QToolButton>

#include <algorithm>

#include "app/AppSettings.h"
#include "app/DocumentSession.h"
#include "app/FileSteps.h"
#include "app/ImageSteps.h"
#include "app/OutFileSteps.h"
#include "core/PathText.h"
#include "platform/FileNameText.h"
#include "platform/FileOperations.h"
#include "ui/Controls.h"
#include "ui/FileListModel.h"
#include "ui/Guarded.h"
#include "ui/HistoryKeyFilter.h"
#include "ui/Latin1Text.h"
#include "ui/Prompter.h"

namespace qel::ui {

FileSection::FileSection(app::DocumentSession& session, Prompter& prompter, const app::AppSettings& settings,
                         platform::FileOperations& files, std::function<std::optional<std::size_t>()> selectedImage,
                         QWidget* parent)
    : QGroupBox(parent),
      session_(session),
      prompter_(prompter),
      settings_(settings),
      files_(files),
      selectedImage_(std::move(selectedImage))
{
    MakeSection(this, QStringLiteral("FileSection"), QStringLiteral("File Section"), QRect(0, 32, 145, 417));

    const LabelledEdit outFile = MakeLabelledEdit(this, QStringLiteral("eOutFile"), QStringLiteral("OutFile:"),
                                                  QString(), CaptionFont(), QRect(8, 42, 129, 21));
    eOutFileLabel = outFile.label;
    eOutFile = outFile.edit;
    // Its typing is a step: undone by the history, never by the edit.
    HistoryKeyFilter::TypingIsStep(eOutFile);

    FileLabel =
        MakeLabel(this, QStringLiteral("FileLabel"), QStringLiteral("Files:"), CaptionFont(), QRect(8, 68, 129, 18));

    FileList = new QListView(this);
    FileList->setObjectName(QStringLiteral("FileList"));
    FileList->setFont(ControlFont());
    FileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FileList->setUniformItemSizes(true);
    FileList->setGeometry(8, 88, 129, 292);

    AddFile =
        MakeSpeedButton(this, QStringLiteral("AddFile"), QStringLiteral("Add"),
                        PictureIcon(QStringLiteral(":/buttons/add.png"), QStringLiteral(":/buttons/add-disabled.png")),
                        QRect(8, 385, 52, 25));
    DelFile =
        MakeSpeedButton(this, QStringLiteral("DelFile"), QStringLiteral("Del"),
                        PictureIcon(QStringLiteral(":/buttons/del.png"), QStringLiteral(":/buttons/del-disabled.png")),
                        QRect(61, 385, 52, 25));
    ClearFileList = MakeSpeedButton(
        this, QStringLiteral("ClearFileList"), QString(),
        PictureIcon(QStringLiteral(":/buttons/clear.png"), QStringLiteral(":/buttons/clear-disabled.png")),
        QRect(114, 385, 23, 25));
    ClearFileList->setToolTip(QStringLiteral("Clear file list"));

    model_ = new FileListModel(session_, this);
    FileList->setModel(model_);
    connect(eOutFile, &QLineEdit::textEdited, this, &FileSection::eOutFileEdited);
    connect(&session_, &app::DocumentSession::outFileChanged, this, &FileSection::ShowOutFile);
    connect(AddFile, &QToolButton::clicked, this, &FileSection::AddFileClick);
    connect(DelFile, &QToolButton::clicked, this, &FileSection::DelFileClick);
    connect(ClearFileList, &QToolButton::clicked, this, &FileSection::ClearFileListClick);
    connect(FileList, &QListView::clicked, this, &FileSection::FileListClicked);
    connect(FileList, &QListView::doubleClicked, this, &FileSection::FileListDblClick);
    FileList->installEventFilter(this);
}

FileSection::~FileSection()
{
    // The view lets go of the model before either is deleted.
    FileList->setModel(nullptr);
}

void FileSection::ResetControls()
{
    eOutFile->clear();
}

void FileSection::Refresh()
{
    ClearFileList->setEnabled(!session_.document().files().empty());
}

void FileSection::selectFile(std::size_t row)
{
    if (row >= static_cast<std::size_t>(model_->rowCount()))
        return;
    const QModelIndex index = model_->index(static_cast<int>(row), 0);
    FileList->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    FileList->scrollTo(index);
    emit FileListClicked();
}

template <class Handler>
void FileSection::Handle(Handler&& handler)
{
    Guarded(prompter_, window(), std::forward<Handler>(handler));
}

bool FileSection::eventFilter(QObject* watched, QEvent* event)
{
    // A key that moves the focus frame counts as a click, as it does for a
    // plain list box.
    if (watched == FileList && event->type() == QEvent::KeyRelease) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Space:
            emit FileListClicked();
            break;
        default:
            break;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

std::optional<std::size_t> FileSection::FocusedFileRow() const
{
    const QModelIndex current = FileList->currentIndex();
    if (!current.isValid() || static_cast<std::size_t>(current.row()) >= session_.document().files().size())
        return std::nullopt;
    return static_cast<std::size_t>(current.row());
}

std::vector<std::size_t> FileSection::SelectedEntries() const
{
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : FileList->selectionModel()->selectedRows())
        rows.push_back(static_cast<std::size_t>(index.row()));
    return rows;
}

void FileSection::AddFileClick()
{
    Handle([this] { AddFiles(prompter_.openFiles(window(), QString())); });
}

void FileSection::AddFiles(const QStringList& chosen)
{
    Handle([&] {
        if (chosen.isEmpty())
            return;
        std::vector<std::string> paths;
        paths.reserve(static_cast<std::size_t>(chosen.size()));
        for (const QString& path : chosen)
            paths.push_back(FileNameBytes(path));
        const bool collect = settings_.collectFiles();
        std::vector<FileCopy> copies;
        session_.push(std::make_unique<app::AddFilesStep>(
            session_, paths, collect, [this](const std::string& path) { return files_.exists(path); }, &copies));
        // Every chosen file is handled before one message names those whose
        // copy failed; their names stay listed.
        QStringList failed;
        for (const FileCopy& copy : copies)
            if (!files_.copy(copy.source, copy.target, false))
                failed << FileNameText(NamePart(copy.target));
        if (failed.isEmpty())
            return;
        const QString folder = FileNameText(session_.document().documentFolder());
        prompter_.error(window(), failed.size() == 1
                                      ? QStringLiteral("'%1' could not be copied to %2.").arg(failed.front(), folder)
                                      : QStringLiteral("These files could not be copied to %1: %2.")
                                            .arg(folder, failed.join(QStringLiteral(", "))));
    });
}

void FileSection::DelFileClick()
{
    Handle([this] { session_.push(std::make_unique<app::DeleteFilesStep>(session_, SelectedEntries())); });
}

void FileSection::ClearFileListClick()
{
    Handle([this] {
        session_.push(std::make_unique<app::ClearFilesStep>(session_));
        emit pictureHideRequested();
    });
}

void FileSection::FileListDblClick()
{
    Handle([this] {
        const std::optional<std::size_t> image = selectedImage_ ? selectedImage_() : std::nullopt;
        const FileDoubleClick decision = DecideFileDoubleClick(session_.document(), image, FocusedFileRow());
        switch (decision.action) {
        case FileDoubleClick::Action::Nothing:
            return;
        case FileDoubleClick::Action::Ask:
            if (!prompter_.confirm(window(), FromBytes(decision.question)))
                return;
            break;
        case FileDoubleClick::Action::SetFile:
            break;
        }
        session_.push(std::make_unique<app::ImageFileFromListStep>(session_, *image, decision.name));
    });
}

void FileSection::ShowOutFile()
{
    // While typing, the edit already shows what was stored; setting it again
    // would move the cursor.
    const QString stored = FromBytes(session_.document().outFile());
    if (eOutFile->text() != stored)
        eOutFile->setText(stored);
}

void FileSection::eOutFileEdited(const QString& text)
{
    const qsizetype refused = FirstUnstorableCharacter(text);
    if (refused < 0) {
        session_.push(std::make_unique<app::SetOutFileStep>(session_, ToBytes(text)));
        return;
    }
    // Back to the stored text, the cursor where the refused input began.
    const QString message = UnstorableCharacterMessage(text, refused);
    const QString stored = FromBytes(session_.document().outFile());
    const qsizetype cursor = eOutFile->cursorPosition() - (text.size() - stored.size());
    eOutFile->setText(stored);
    eOutFile->setCursorPosition(static_cast<int>(std::clamp<qsizetype>(cursor, 0, stored.size())));
    prompter_.error(window(), message);
}

}  // namespace qel::ui
