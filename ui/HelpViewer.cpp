#include "ui/HelpViewer.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QWindow>

#ifndef QEL_DATA_DIR
#define QEL_DATA_DIR ""
#endif

namespace qel::ui {

namespace {

bool HasAnchor(const QTextDocument& document, const QString& name)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            if (fragment.fragment().charFormat().anchorNames().contains(name))
                return true;
        }
    }
    return false;
}

void ShowReport(QTextBrowser* browser, const QString& heading, const QString& body)
{
    browser->document()->setBaseUrl(QUrl());
    browser->setHtml(QStringLiteral("<html><body><h2>%1</h2>%2</body></html>").arg(heading.toHtmlEscaped(), body));
}

// Shows the help file `path` at the topic `keyword` (the top when empty).
void ShowHelpPage(QTextBrowser* browser, const QString& path, const QString& keyword)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowReport(browser, QStringLiteral("Help file cannot be read"),
                   QStringLiteral("<p>The help file \"%1\" cannot be read: %2</p>")
                       .arg(QDir::toNativeSeparators(path).toHtmlEscaped(), file.errorString().toHtmlEscaped()));
        return;
    }
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    browser->setHtml(QString::fromUtf8(file.readAll()));
    browser->document()->setBaseUrl(url);
    if (keyword.isEmpty())
        return;
    if (!HasAnchor(*browser->document(), keyword)) {
        ShowReport(browser, QStringLiteral("Topic not found"),
                   QStringLiteral("<p>The help file \"%1\" has no topic \"%2\".</p>"
                                  "<p><a href=\"%3\">Show the contents of the help file</a></p>")
                       .arg(QDir::toNativeSeparators(path).toHtmlEscaped(), keyword.toHtmlEscaped(),
                            url.toString(QUrl::FullyEncoded).toHtmlEscaped()));
        return;
    }
    browser->scrollToAnchor(keyword);
}

// Links inside the help file: topics of the same file, the file itself from
// a report page, and web or mail addresses, which go to the desktop.
void FollowLink(QTextBrowser* browser, const QUrl& link)
{
    const QUrl base = browser->document()->baseUrl();
    if (link.isRelative() && link.path().isEmpty() && !base.isEmpty()) {
        browser->scrollToAnchor(link.fragment());
        return;
    }
    const QUrl target = base.isEmpty() ? link : base.resolved(link);
    if (target.isLocalFile()) {
        ShowHelpPage(browser, target.toLocalFile(), target.fragment());
        return;
    }
    QDesktopServices::openUrl(target);
}

}  // namespace

QStringList HelpFolders(const QString& programFolder)
{
    QStringList folders{QDir::currentPath(), programFolder};
    // Installed, the data folder lies at a fixed place from bin/, whatever
    // the prefix.
    const QString dataFolder = QStringLiteral(QEL_DATA_DIR);
    if (!dataFolder.isEmpty())
        folders << QDir::cleanPath(QDir(programFolder).filePath(dataFolder));
    return folders;
}

QString FindHelpFile(const QString& name, const QStringList& folders)
{
    if (name.isEmpty())
        return {};
    if (name != QFileInfo(name).fileName())
        return QFileInfo(name).isFile() ? name : QString();
    for (const QString& folder : folders) {
        const QString candidate = QDir(folder).filePath(name);
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

HelpViewer::HelpViewer(QWidget* parent) : parent_(parent) {}

HelpViewer::~HelpViewer()
{
    delete browser_;
}

QWidget* HelpViewer::window() const
{
    return browser_;
}

void HelpViewer::showHelp(const QString& helpFile, const QString& keyword)
{
    if (!browser_) {
        // A window of its own, not a child of the main window: a disabled
        // main window (while a dialog is open) would disable it too.
        browser_ = new QTextBrowser(nullptr);
        browser_->setObjectName(QStringLiteral("HelpBrowser"));
        browser_->setWindowFlag(Qt::Window);
        browser_->setWindowTitle(QStringLiteral("QEL Help"));
        browser_->setOpenLinks(false);
        browser_->resize(640, 480);
        QTextBrowser* browser = browser_;
        QObject::connect(browser, &QTextBrowser::anchorClicked, browser,
                         [browser](const QUrl& link) { FollowLink(browser, link); });
    }
    browser_->show();
    if (parent_ && parent_->windowHandle() && browser_->windowHandle())
        browser_->windowHandle()->setTransientParent(parent_->windowHandle());
    browser_->raise();
    browser_->activateWindow();

    const QStringList folders = HelpFolders(QCoreApplication::applicationDirPath());
    const QString path = FindHelpFile(helpFile, folders);
    if (path.isEmpty()) {
        QString list;
        for (const QString& folder : folders)
            list += QStringLiteral("<li>%1</li>").arg(QDir::toNativeSeparators(folder).toHtmlEscaped());
        ShowReport(browser_, QStringLiteral("Help file not found"),
                   QStringLiteral("<p>The help file \"%1\" was not found. It was looked for in:</p><ul>%2</ul>")
                       .arg(helpFile.toHtmlEscaped(), list));
        return;
    }
    ShowHelpPage(browser_, path, keyword);
}

}  // namespace qel::ui
