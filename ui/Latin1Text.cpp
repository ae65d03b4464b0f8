#include "Latin1Text.h"

#include <QByteArray>

namespace qel::ui {

qsizetype FirstUnstorableCharacter(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text.at(i).unicode() > 0xFF)
            return i;
    return -1;
}

std::string ToBytes(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString UnstorableCharacterMessage(const QString& text, qsizetype position)
{
    // A character outside the basic plane is a surrogate pair: name all of it.
    qsizetype length = 1;
    if (text.at(position).isHighSurrogate() && position + 1 < text.size() && text.at(position + 1).isLowSurrogate())
        length = 2;
    return QStringLiteral("The character '%1' cannot be stored in a definition file.").arg(text.mid(position, length));
}

}  // namespace qel::ui
