#include "core/OutputTail.h"

#include <algorithm>

namespace qel {

std::size_t OutputTail::append(std::string_view bytes)
{
    end_ += bytes.size();
    const std::size_t keptBefore = buffer_.size() - start_;
    // Bytes that could never be kept are not copied at all.
    const std::size_t uncopied = bytes.size() > limit_ ? bytes.size() - limit_ : 0;
    const char lastUncopied = uncopied > 0 ? bytes[uncopied - 1] : '\0';
    bytes.remove_prefix(uncopied);
    buffer_.append(bytes);
    const std::size_t kept = buffer_.size() - start_;
    const std::size_t dropped = kept > limit_ ? std::min(kept - limit_, keptBefore) : 0;
    start_ += kept > limit_ ? kept - limit_ : 0;
    if (uncopied > 0)
        lastDropped_ = lastUncopied;
    else if (start_ > 0)
        lastDropped_ = buffer_[start_ - 1];
    if (start_ > limit_) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    return dropped;
}

void OutputTail::skip(std::uint64_t count)
{
    buffer_.clear();
    start_ = 0;
    end_ += count;
    lastDropped_ = '\0';
}

void OutputTail::clear()
{
    buffer_.clear();
    start_ = 0;
    end_ = 0;
    lastDropped_ = '\0';
}

std::uint64_t OutputTail::lineStart() const
{
    const std::uint64_t kept = keptStart();
    if (kept == 0 || lastDropped_ == '\n')
        return kept;
    const std::size_t newline = text().find('\n');
    return newline == std::string_view::npos ? kept : kept + newline + 1;
}

}  // namespace qel
