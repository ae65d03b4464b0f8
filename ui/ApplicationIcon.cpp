#include "ui/ApplicationIcon.h"

namespace qel::ui {

QIcon ApplicationIcon()
{
    QIcon builtIn;
    for (int size : {16, 32, 48, 64, 128, 256})
        builtIn.addFile(QStringLiteral(":/appicon/%1.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(QStringLiteral("org.example.qel"), builtIn);
}

}  // namespace qel::ui
