#include "core/OutputTail.h"

#include <algorithm>

namespace qel {

std::size_t OutputTail::append(std::string_view bytes)
{
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

void OutputTail::clear()
{
    buffer_.clear();
    start_ = 0;
}

}  // namespace qel
