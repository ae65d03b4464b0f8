#include "core/Errors.h"

#include <cerrno>

namespace qel {

namespace {
std::string ConversionMessage(std::string_view text)
{
    std::string message;
    message += '\'';
    message += QuotedText(text);
    message += "' is not a valid integer value";
    return message;
}
}  // namespace

ConversionError::ConversionError(std::string_view text)
    : Error(ConversionMessage(text)), text_(text.substr(0, kMaxQuotedBytes))
{
}

FileError::FileError(int systemError) : Error(FileErrorMessage(systemError)), systemError_(systemError) {}

FileError::FileError(int systemError, std::string message) : Error(std::move(message)), systemError_(systemError) {}

std::string FileErrorMessage(int systemError)
{
    switch (systemError) {
    case ENOENT:
        return "File not found";
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return "Invalid filename";
    case EMFILE:
    case ENFILE:
        return "Too many open files";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return "File access denied";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return "Disk full";
    default:
        return "I/O error " + std::to_string(systemError);
    }
}

}  // namespace qel

namespace qel {
std::string QuotedText(std::string_view text)
{
    if (text.size() <= kMaxQuotedBytes)
        return std::string(text);
    std::string quoted(text.substr(0, kMaxQuotedBytes));
    quoted += "... (";
    quoted += std::to_string(text.size());
    quoted += " bytes)";
    return quoted;
}

std::string WithFullStop(std::string message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        message += '.';
    return message;
}
}  // namespace qel
