#pragma once
// The end of a stream of bytes that may never stop: at most `limit` bytes
// are kept, the newest, so a program that talks without end cannot use up
// the memory of the one listening. Positions count every byte of the stream
// from its start, those dropped or skipped included.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qel {

class OutputTail {
public:
    explicit OutputTail(std::size_t limit) : limit_(limit) {}

    // Adds `bytes` at the end. Returns how many bytes of what was kept before
    // went from its front to make room, so that a copy of text() can follow
    // without being made again.
    std::size_t append(std::string_view bytes);
    // The bytes kept: the last `limit` at most.
    std::string_view text() const { return std::string_view(buffer_).substr(start_); }
    // `count` bytes of the stream went by unseen (too many to keep anyway):
    // what was kept goes too.
    void skip(std::uint64_t count);
    void clear();

    // Where the stream now ends, and where what is kept starts.
    std::uint64_t end() const { return end_; }
    std::uint64_t keptStart() const { return end_ - (buffer_.size() - start_); }
    // Where the kept text to show starts: the stream's start, or, once bytes
    // were dropped, the first line start from there on (the kept start when
    // no line ends in what is kept).
    std::uint64_t lineStart() const;
    // The kept bytes from lineStart() on.
    std::string_view lines() const { return text().substr(static_cast<std::size_t>(lineStart() - keptStart())); }

private:
    std::size_t limit_;
    // Dropped bytes stay before `start_` until they outweigh the kept ones,
    // so that each byte is moved a bounded number of times.
    std::string buffer_;
    std::size_t start_ = 0;
    std::uint64_t end_ = 0;
    // The last byte that went: whether what is kept starts a line.
    char lastDropped_ = '\0';
};

}  // namespace qel
