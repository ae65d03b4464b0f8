#include "tools/qeltool/Json.h"

#include <array>
#include <charconv>

namespace qeltool {

namespace {

// 0: copied as is; 1: needs an escape or a two-byte sequence.
constexpr std::array<bool, 256> MakeSpecialTable()
{
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)] = c < 0x20 || c == '"' || c == '\\' || c >= 0x80;
    return table;
}
constexpr std::array<bool, 256> kSpecial = MakeSpecialTable();

void AppendSpecial(std::string& out, unsigned char c)
{
    static constexpr char kHex[] = "0123456789abcdef";
    if (c >= 0x80) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c == '"' || c == '\\') {
        out += '\\';
        out += static_cast<char>(c);
    } else {
        const char escape[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0x0F]};
        out.append(escape, sizeof escape);
    }
}

// The bytes escaped, without the quotes around them.
void AppendJsonBytes(std::string& out, std::string_view bytes)
{
    std::size_t run = 0;  // start of the bytes not yet copied
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (!kSpecial[c])
            continue;
        out.append(bytes.data() + run, i - run);
        AppendSpecial(out, c);
        run = i + 1;
    }
    out.append(bytes.data() + run, bytes.size() - run);
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view bytes)
{
    out += '"';
    AppendJsonBytes(out, bytes);
    out += '"';
}

JsonStream::JsonStream(std::FILE* out, std::size_t bufferSize) : out_(out), limit_(bufferSize)
{
    buffer_.reserve(bufferSize + 4096);
}

JsonStream::~JsonStream()
{
    flush();
}

JsonStream& JsonStream::raw(std::string_view text)
{
    buffer_.append(text);
    spill();
    return *this;
}

JsonStream& JsonStream::string(std::string_view bytes)
{
    // A field of a gigabyte goes out a piece at a time: escaped whole it
    // would take six times its size in memory.
    constexpr std::size_t kPiece = std::size_t{1} << 16;
    buffer_ += '"';
    for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
        AppendJsonBytes(buffer_, bytes.substr(at, kPiece));
        spill();
    }
    buffer_ += '"';
    spill();
    return *this;
}

JsonStream& JsonStream::number(std::int64_t value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    buffer_.append(digits, result.ptr);
    spill();
    return *this;
}

JsonStream& JsonStream::null()
{
    return raw("null");
}

bool JsonStream::flush()
{
    if (!buffer_.empty() && !failed_) {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size())
            failed_ = true;
    }
    buffer_.clear();
    if (!failed_ && std::fflush(out_) != 0)
        failed_ = true;
    return !failed_;
}

}  // namespace qeltool
