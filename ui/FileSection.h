#pragma once
// "File Section": the out-file name and the list of files that go into the
// package.

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QListView;
class QToolButton;

namespace qel::ui {

class FileSection : public QGroupBox {
    Q_OBJECT
public:
    explicit FileSection(QWidget* parent = nullptr);

    QLabel* eOutFileLabel;
    QLineEdit* eOutFile;
    QLabel* FileLabel;
    QListView* FileList;
    QToolButton* AddFile;
    QToolButton* DelFile;
    QToolButton* ClearFileList;
};

}  // namespace qel::ui
