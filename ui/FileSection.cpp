#include "FileSection.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QToolButton>

#include <algorithm>

#include "Controls.h"
#include "DocumentSession.h"
#include "FileListModel.h"
#include "Latin1Text.h"
#include "OutFileCommands.h"
#include "Prompter.h"

namespace qel::ui {

FileSection::FileSection(app::DocumentSession& session, Prompter& prompter, QWidget* parent)
    : QGroupBox(parent), session_(session), prompter_(prompter)
{
    MakeSection(this, QStringLiteral("FileSection"), QStringLiteral("File Section"), QRect(0, 32, 145, 417));

    const LabelledEdit outFile = MakeLabelledEdit(this, QStringLiteral("eOutFile"), QStringLiteral("OutFile:"),
                                                  QString(), CaptionFont(), QRect(8, 42, 129, 21));
    eOutFileLabel = outFile.label;
    eOutFile = outFile.edit;

    FileLabel = MakeLabel(this, QStringLiteral("FileLabel"), QStringLiteral("Files:"), CaptionFont(),
                          QRect(8, 68, 129, 18));

    FileList = new QListView(this);
    FileList->setObjectName(QStringLiteral("FileList"));
    FileList->setFont(ControlFont());
    FileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FileList->setUniformItemSizes(true);
    FileList->setGeometry(8, 88, 129, 292);

    AddFile = MakeSpeedButton(this, QStringLiteral("AddFile"), QStringLiteral("Add"),
                              PictureIcon(QStringLiteral(":/buttons/add.png"), QStringLiteral(":/buttons/add-disabled.png")),
                              QRect(8, 385, 52, 25));
    DelFile = MakeSpeedButton(this, QStringLiteral("DelFile"), QStringLiteral("Del"),
                              PictureIcon(QStringLiteral(":/buttons/del.png"), QStringLiteral(":/buttons/del-disabled.png")),
                              QRect(61, 385, 52, 25));
    ClearFileList = MakeSpeedButton(this, QStringLiteral("ClearFileList"), QString(),
                                    PictureIcon(QStringLiteral(":/buttons/clear.png"),
                                                QStringLiteral(":/buttons/clear-disabled.png")),
                                    QRect(114, 385, 23, 25));

    model_ = new FileListModel(session_, this);
    FileList->setModel(model_);
    connect(eOutFile, &QLineEdit::textEdited, this, &FileSection::eOutFileEdited);
    connect(&session_, &app::DocumentSession::outFileChanged, this, &FileSection::ShowOutFile);
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

void FileSection::Refresh() {}

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
        session_.push(app::MakeSetOutFile(session_, ToBytes(text)));
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
