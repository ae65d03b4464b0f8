#include "FileSection.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QToolButton>

#include "Controls.h"

namespace qel::ui {

FileSection::FileSection(QWidget* parent) : QGroupBox(parent)
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
}

}  // namespace qel::ui
