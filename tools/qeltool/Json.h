#pragma once
// Streaming JSON output for qeltool. Texts of a definition are bytes in an
// 8-bit code page; each byte is written as the character of the same code
// (Latin-1), so 0x80-0xFF become two-byte UTF-8 sequences and nothing is lost.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace qeltool {

// Appends `bytes` as a JSON string, quotes included: control characters as
// \u00XX, quote and backslash escaped, 0x80-0xFF as their Latin-1 characters.
void AppendJsonString(std::string& out, std::string_view bytes);

// Collects output in a large buffer and hands it to a stdio stream in big
// pieces, so a million small values cost no call per value.
class JsonStream {
public:
    explicit JsonStream(std::FILE* out, std::size_t bufferSize = std::size_t{1} << 20);
    ~JsonStream();
    JsonStream(const JsonStream&) = delete;
    JsonStream& operator=(const JsonStream&) = delete;

    JsonStream& raw(std::string_view text);
    JsonStream& string(std::string_view bytes);
    JsonStream& number(std::int64_t value);
    JsonStream& null();

    // Writes out what is buffered; false once any write to the stream failed.
    bool flush();

private:
    void spill()
    {
        if (buffer_.size() >= limit_)
            flush();
    }

    std::FILE* out_;
    std::string buffer_;
    std::size_t limit_;
    bool failed_ = false;
};

}  // namespace qeltool
