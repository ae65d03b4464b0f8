#include "ui/Latin1Text.h"

#include <QByteArray>

namespace qel::ui {

QString VisibleText(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (code < 0x20)
            text += QChar(char16_t(0x2400 + code));  // the Control Pictures block
        else if (code == 0x7F)
            text += QChar(char16_t(0x2421));
        else if (code >= 0x80 && code < 0xA0)
            text += QStringLiteral("<%1>").arg(code, 2, 16, QLatin1Char('0')).toUpper();  // no sign of its own
        else
            text += QChar(char16_t(code));
    }
    return text;
}

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

std::string CheckedBytes(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text)
        bytes += c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '?';
    return bytes;
}

}  // namespace qel::ui
