#pragma once
// The program's own help window: an HTML help file shown at a topic.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTextBrowser>

class QWidget;

namespace qel::ui {

class HelpViewer {
public:
    // The help window is a separate, non-modal window owned by `parent`.
    explicit HelpViewer(QWidget* parent);
    ~HelpViewer();
    HelpViewer(const HelpViewer&) = delete;
    HelpViewer& operator=(const HelpViewer&) = delete;

    // Opens `helpFile` (a bare name is looked for in HelpFolders(), in order)
    // at the topic whose anchor is `keyword`. A missing file or topic is
    // reported in the help window itself.
    void showHelp(const QString& helpFile = QStringLiteral("QEL.HLP"),
                  const QString& keyword = QStringLiteral("What's new?"));

    // The help window and its browser; null until the first showHelp().
    QWidget* window() const;
    QTextBrowser* browser() const { return browser_; }

private:
    QWidget* parent_;
    QPointer<QTextBrowser> browser_;
};

// Where a bare help file name is looked for: the current folder, the folder
// of the executable (`programFolder`), the data folder installed beside it.
QStringList HelpFolders(const QString& programFolder);

// The first folder of `folders` that holds `name`, joined with it; empty when
// none does. A name with a folder part is only looked for where it points.
QString FindHelpFile(const QString& name, const QStringList& folders);

}  // namespace qel::ui
