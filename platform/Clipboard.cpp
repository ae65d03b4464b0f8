#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace qel::platform {

QString QtClipboard::text() const
{
    return QGuiApplication::clipboard()->text();
}

void QtClipboard::setText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

}  // namespace qel::platform
