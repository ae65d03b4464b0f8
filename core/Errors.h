#pragma once
// Failures of the document layer. Every failure is an exception whose what() is
// the exact message the user sees; callers decide how to show it.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace qel {

class Error : public std::runtime_error {
public:
    explicit Error(std::string message) : std::runtime_error(message), message_(std::move(message)) {}

    // The whole message: what() stops at the first NUL byte, and a message
    // quoting a line of a file may hold NUL bytes.
    const std::string& message() const { return message_; }

    // 1-based line of the definition file at which reading stopped; 0 when the
    // failure is not tied to a line (or did not come from reading a file).
    std::size_t line() const { return line_; }
    void setLine(std::size_t line) { line_ = line; }

private:
    std::string message_;
    std::size_t line_ = 0;
};

// A text that the strict integer conversion refuses.
class ConversionError : public Error {
public:
    explicit ConversionError(std::string_view text);
    // Its first kMaxQuotedBytes bytes, as the message quotes it: a field of
    // a gigabyte is not copied into every failure it causes.
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// A file that cannot be opened, read, written or replaced.
class FileError : public Error {
public:
    explicit FileError(int systemError);
    // A failure of that system error that needs more words than its plain message.
    FileError(int systemError, std::string message);
    int systemError() const { return systemError_; }

private:
    int systemError_;
};

// Message for a system error number: "File not found", "Invalid filename",
// "Too many open files", "File access denied", "Disk full", or "I/O error N".
std::string FileErrorMessage(int systemError);

// Any other failure that has only a message.
class MessageError : public Error {
public:
    using Error::Error;
};

}  // namespace qel

namespace qel {
// The most bytes of a text from a file that a message quotes: a line of ten
// million digits in a message box takes minutes to lay out, and no reader
// needs more than its start to find it.
constexpr std::size_t kMaxQuotedBytes = 200;

// `text` as a message quotes it: whole when it has at most kMaxQuotedBytes
// bytes, else its first kMaxQuotedBytes bytes and "... (N bytes)", N being
// the length of the whole. Every message that quotes a file's text uses this.
std::string QuotedText(std::string_view text);

// The message as the error box shows it: a full stop is added when the last
// byte sorts after "." (letters and digits do; "!" and "'" do not).
std::string WithFullStop(std::string message);
}  // namespace qel
