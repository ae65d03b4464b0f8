#pragma once
// The bytes of a recovery copy (RecoveryStore.h), and the key its file name
// starts with.
//
// Copy file layout (bytes; the definition is never re-encoded):
//   "QEL recovery 1\n"
//   "file " LENGTH ":" PATH "\n"      (LENGTH 0 when untitled)
//   "time " MILLISECONDS-SINCE-EPOCH "\n"
//   "\n"
//   DEFINITION
//   "\nend " LENGTH-OF-DEFINITION "\n"
// A copy whose end line is missing or disagrees was cut short.

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace qel::app {

// What a copy holds.
struct RecoveryContent {
    std::string documentPath;  // empty: untitled
    QDateTime savedAt;
    std::string definition;
};

// The copy's bytes: header, definition and end line.
std::string ComposeRecoveryHeader(std::string_view documentPath, const QDateTime& savedAt);
std::string ComposeRecoveryEnd(std::uint64_t definitionBytes);
// Throws MessageError (the reason) when the bytes are not a whole copy.
RecoveryContent ParseRecoveryCopy(std::string_view bytes);

// What the names of the copies of `documentPath` start with: "untitled", or
// a hash of the path.
QString RecoveryCopyKey(const std::string& documentPath);

}  // namespace qel::app
