#include "app/RecoveryFormat.h"

#include <QCryptographicHash>
#include <charconv>

#include "core/Errors.h"

namespace qel::app {

namespace {
constexpr std::string_view kMagic = "QEL recovery 1\n";
constexpr std::string_view kEndLine = "\nend ";

// Reads a decimal number that ends at `stop`; advances `at` past `stop`.
std::uint64_t NumberUpTo(std::string_view bytes, std::size_t& at, char stop, const char* what)
{
    const std::size_t end = bytes.find(stop, at);
    std::uint64_t value = 0;
    if (end == std::string_view::npos || end == at
        || std::from_chars(bytes.data() + at, bytes.data() + end, value).ptr != bytes.data() + end)
        throw MessageError(std::string("its ") + what + " is unreadable");
    at = end + 1;
    return value;
}

void Expect(std::string_view bytes, std::size_t& at, std::string_view text, const char* what)
{
    if (bytes.substr(at, text.size()) != text)
        throw MessageError(std::string("its ") + what + " is missing");
    at += text.size();
}
}  // namespace

// Copies are named after their document's path, so that finding those of
// one file needs no copy read; the path inside the copy decides.
QString RecoveryCopyKey(const std::string& documentPath)
{
    if (documentPath.empty())
        return QStringLiteral("untitled");
    const QByteArray digest =
        QCryptographicHash::hash(QByteArray::fromStdString(documentPath), QCryptographicHash::Sha256);
    return QString::fromLatin1(digest.toHex().left(16));
}

std::string ComposeRecoveryHeader(std::string_view documentPath, const QDateTime& savedAt)
{
    std::string header(kMagic);
    header += "file " + std::to_string(documentPath.size()) + ":";
    header += documentPath;
    header += "\ntime " + std::to_string(savedAt.toMSecsSinceEpoch()) + "\n\n";
    return header;
}

std::string ComposeRecoveryEnd(std::uint64_t definitionBytes)
{
    return std::string(kEndLine) + std::to_string(definitionBytes) + "\n";
}

RecoveryContent ParseRecoveryCopy(std::string_view bytes)
{
    RecoveryContent content;
    std::size_t at = 0;
    Expect(bytes, at, kMagic, "heading");
    Expect(bytes, at, "file ", "file line");
    const std::uint64_t pathSize = NumberUpTo(bytes, at, ':', "file line");
    if (pathSize > bytes.size() - at)
        throw MessageError("it is cut short");
    content.documentPath = std::string(bytes.substr(at, pathSize));
    at += pathSize;
    Expect(bytes, at, "\ntime ", "time line");
    const std::uint64_t msecs = NumberUpTo(bytes, at, '\n', "time line");
    content.savedAt = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(msecs), Qt::UTC);
    Expect(bytes, at, "\n", "heading's end");
    // The end line is the last line, and it counts the definition's bytes.
    const std::string_view rest = bytes.substr(at);
    const std::size_t endLine = rest.rfind(kEndLine);
    if (endLine == std::string_view::npos || rest.empty() || rest.back() != '\n')
        throw MessageError("it is cut short");
    std::size_t numberAt = endLine + kEndLine.size();
    const std::uint64_t size = NumberUpTo(rest, numberAt, '\n', "end line");
    if (numberAt != rest.size() || size != endLine)
        throw MessageError("it is cut short");
    content.definition = std::string(rest.substr(0, endLine));
    return content;
}

}  // namespace qel::app
