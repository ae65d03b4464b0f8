#pragma once
// File names cross between Qt and the document as the system's file name
// bytes, so that a name written into a definition opens the same file. The
// one conversion every layer above the core uses.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>

namespace qel {

inline std::string FileNameBytes(const QString& path)
{
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

inline QString FileNameText(const std::string& bytes)
{
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

}  // namespace qel
