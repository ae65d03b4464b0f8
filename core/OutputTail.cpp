#include "core/OutputTail.h"

#include <algorithm>

namespace qel {

std::size_t OutputTail::append(std::string_view bytes)
{
    end_ += bytes.size();
    const std::size_t keptBefore = buffer_.size() - start_;
    // Bytes that could never be kept are not copied at all.
    if (bytes.size() > limit_)
        bytes.remove_prefix(bytes.size() - limit_);
    buffer_.append(bytes);
    const std::size_t kept = buffer_.size() - start_;
    const std::size_t dropped = kept > limit_ ? std::min(kept - limit_, keptBefore) : 0;
    start_ += kept > limit_ ? kept - limit_ : 0;
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
}

void OutputTail::clear()
{
    buffer_.clear();
    start_ = 0;
    end_ = 0;
}

std::uint64_t OutputTail::lineStart() const
{
    const std::uint64_t kept = keptStart();
    if (kept == 0)
        return 0;
    const std::size_t newline = text().find('\n');
    return newline == std::string_view::npos ? kept : kept + newline + 1;
}

}  // namespace qel
