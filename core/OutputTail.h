#pragma once
// The end of a stream of bytes that may never stop: at most `limit` bytes
// are kept, the newest, so a program that talks without end cannot use up
// the memory of the one listening.

#include <cstddef>
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
    void clear();

private:
    std::size_t limit_;
    // Dropped bytes stay before `start_` until they outweigh the kept ones,
    // so that each byte is moved a bounded number of times.
    std::string buffer_;
    std::size_t start_ = 0;
};

}  // namespace qel
