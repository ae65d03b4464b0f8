#pragma once
// The one conversion between the document's bytes and Qt's texts: one
// character per byte (Latin-1), both ways, never anything replaced.

#include <QString>
#include <string>
#include <string_view>

namespace qel::ui {

inline QString FromBytes(std::string_view bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The bytes of a message for a message box: one character per byte, with
// each control character drawn visibly (the bytes below 0x20 and 0x7F as
// their Control Pictures signs, 0x80 to 0x9F, which have none, as <80>), so
// that a text quoted from a file shows whole.
QString VisibleText(std::string_view bytes);

// Position of the first character that has no single byte, or -1.
qsizetype FirstUnstorableCharacter(const QString& text);

// The bytes of `text`; only for a text without unstorable characters.
std::string ToBytes(const QString& text);

// The message that refuses the character at `position` of `text`.
QString UnstorableCharacterMessage(const QString& text, qsizetype position);

}  // namespace qel::ui
