#include "ui/RecentFilesMenu.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "app/RecentFiles.h"

namespace qel::ui {

RecentFilesMenu::RecentFilesMenu(QMenu& menu, app::RecentFiles& recent, std::function<void(const QString&)> open)
    : QObject(&menu), menu_(menu), recent_(recent), open_(std::move(open))
{
    refresh();
}

void RecentFilesMenu::refresh()
{
    menu_.clear();
    int number = 0;
    for (const QString& path : recent_.paths()) {
        const QFileInfo file(path);
        // An entry's caption is a file name: an "&" in it is no access key.
        QString caption = file.fileName();
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* entry = menu_.addAction(caption);
        entry->setObjectName(QStringLiteral("RecentFile%1").arg(++number));
        entry->setToolTip(QDir::toNativeSeparators(file.path()));
        // Queued: opening remakes this very menu.
        connect(
            entry, &QAction::triggered, this, [this, path] { open_(path); }, Qt::QueuedConnection);
    }
    menu_.addSeparator();
    QAction* clear = menu_.addAction(QStringLiteral("Clear Recent Files"));
    clear->setObjectName(QStringLiteral("ClearRecentFiles1"));
    clear->setEnabled(number > 0);
    connect(
        clear, &QAction::triggered, this,
        [this] {
            recent_.clear();
            refresh();
        },
        Qt::QueuedConnection);
}

}  // namespace qel::ui
