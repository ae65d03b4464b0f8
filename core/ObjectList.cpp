#include "core/ObjectList.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

#include "core/Errors.h"

#include "core/IntConversion.h"

namespace qel {

namespace {
constexpr std::size_t kChunkSize = std::size_t{1} << 20;
}

std::string_view ObjectList::Arena::store(std::string_view text)
{
    if (text.empty())
        return {};
    if (sealed_ || chunks_.empty() || chunks_.back().capacity - chunks_.back().used < text.size()) {
        Chunk chunk;
        chunk.capacity = std::max(kChunkSize, text.size());
        chunk.data = std::shared_ptr<char[]>(new char[chunk.capacity]);
        chunks_.push_back(std::move(chunk));
        bytes_ += chunks_.back().capacity;
        sealed_ = false;
    }
    Chunk& chunk = chunks_.back();
    char* at = chunk.data.get() + chunk.used;
    std::memcpy(at, text.data(), text.size());
    chunk.used += text.size();
    return {at, text.size()};
}

void ObjectList::Arena::hold(std::shared_ptr<const void> owner, std::size_t bytes)
{
    bytes_ += bytes;
    held_.push_back(std::move(owner));
}

ObjectList::Arena ObjectList::Arena::shared() const
{
    Arena copy;
    copy.chunks_ = chunks_;
    copy.held_ = held_;
    copy.bytes_ = bytes_;
    copy.sealed_ = true;
    return copy;
}

std::size_t ObjectList::State::bytes() const
{
    return lines_.memoryBytes() + fields_.memoryBytes() + arena_.bytes();
}

std::uint64_t ObjectList::Lines::packAside(std::string_view text)
{
    // Shared with a copy: the copy's rows keep pointing at what they hold.
    if (!aside_)
        aside_ = std::make_shared<std::vector<std::string_view>>();
    else if (aside_.use_count() > 1)
        aside_ = std::make_shared<std::vector<std::string_view>>(*aside_);
    aside_->push_back(text);
    return static_cast<std::uint64_t>(aside_->size() - 1) << 16 | kAside;
}

void ObjectList::Lines::permute(const std::vector<std::uint32_t>& order)
{
    RowChunks<std::uint64_t> packed(packed_.chunkSize());
    packed.reserve(packed_.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        packed.push_back(packed_[order[k]]);
    packed_.forEach(order.size(), packed_.size(), [&packed](std::uint64_t word) { packed.push_back(word); });
    packed_ = std::move(packed);
}

ObjectList::ObjectList(ObjectKind kind) : kind_(kind) {}

ObjectList::ObjectList(const ObjectList& other) : kind_(other.kind_)
{
    copyFrom(other);
}

ObjectList& ObjectList::operator=(const ObjectList& other)
{
    if (this != &other) {
        kind_ = other.kind_;
        copyFrom(other);
    }
    return *this;
}

void ObjectList::copyFrom(const ObjectList& other)
{
    // Views must point into chunks this list owns, so a copy copies the bytes.
    Arena fresh;
    Lines lines;
    lines.reserve(other.lines_.size());
    for (std::size_t row = 0; row < other.lines_.size(); ++row)
        lines.push_back(fresh.store(other.lines_[row]));
    lines_ = std::move(lines);
    arena_ = std::move(fresh);
    fields_ = other.fields_;
    parsed_ = other.parsed_;
    liveBytes_ = other.liveBytes_;
    ++revision_;
}

std::string ObjectList::xText(std::size_t row) const
{
    if (kind_ == ObjectKind::Map)
        return IntToStr(fields_[row].x);
    return GetTextField(lines_[row], 0);
}

std::string ObjectList::yText(std::size_t row) const
{
    if (kind_ == ObjectKind::Map)
        return IntToStr(fields_[row].y);
    return GetTextField(lines_[row], 1);
}

void ObjectList::reparseFrom(std::size_t from)
{
    parsed_ = std::min(parsed_, from);
    fields_.resize(lines_.size());
    // parsed_ stays at a failing row, so the rows from it on have no fields.
    for (; parsed_ < lines_.size(); ++parsed_)
        fields_[parsed_] = TakeApartEntryLine(lines_[parsed_], kind_);
}

std::optional<ObjectFields> ObjectList::takeApart(std::string_view text) const
{
    try {
        return TakeApartEntryLine(text, kind_);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

void ObjectList::rollBackAppend(std::size_t size, std::size_t liveBytes)
{
    lines_.resize(size);
    if (fields_.size() > size)
        fields_.resize(size);
    liveBytes_ = liveBytes;
}

void ObjectList::afterChangeAt(std::size_t row)
{
    fields_.resize(lines_.size());
    if (row < parsed_) {
        // The rows after `row` still hold the fields of their unchanged lines.
        try {
            fields_[row] = TakeApartEntryLine(lines_[row], kind_);
        } catch (...) {
            parsed_ = row;
            throw;
        }
    }
    if (parsed_ < lines_.size())
        reparseFrom(parsed_);
}

void ObjectList::append(std::string_view line)
{
    appendProduced([line](auto&& emit) { emit(line); });
}

void ObjectList::appendLines(const std::vector<std::string>& lines)
{
    lines_.reserve(lines_.size() + lines.size());
    appendProduced([&lines](auto&& emit) {
        for (const std::string& text : lines)
            emit(text);
    });
}

void ObjectList::appendRowsOf(const ObjectList& source, const std::vector<std::size_t>& rows)
{
    if (rows.empty()) {
        reparseFrom(parsed_);
        return;
    }
    lines_.reserve(lines_.size() + rows.size());
    appendProduced([&](auto&& emit) {
        for (std::size_t row : rows)
            emit(source.lines_.at(row));
    });
}

void ObjectList::replace(std::size_t row, std::string_view line)
{
    liveBytes_ -= lines_.at(row).size();
    lines_.set(row, arena_.store(line));
    liveBytes_ += line.size();
    ++revision_;
    afterChangeAt(row);
    compactIfWasteful();
}

void ObjectList::removeRows(std::vector<std::size_t> rows, RowLines* kept)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::lower_bound(rows.begin(), rows.end(), lines_.size()), rows.end());
    RowLines dropped;
    RowLines& removed = kept ? *kept : dropped;
    removed = {};
    removed.rows = std::move(rows);
    const std::vector<std::size_t>& gone = removed.rows;
    std::size_t removedBytes = 0;
    for (std::size_t row : gone)
        removedBytes += lines_[row].size();
    if (kept) {
        removed.ends.reserve(gone.size());
        removed.bytes.reserve(removedBytes);
        for (std::size_t row : gone) {
            removed.bytes += lines_[row];
            removed.ends.push_back(removed.bytes.size());
        }
    }
    if (gone.empty()) {
        if (parsed_ < lines_.size())
            reparseFrom(parsed_);
        return;
    }
    liveBytes_ -= removedBytes;
    parsed_ -= static_cast<std::size_t>(std::lower_bound(gone.begin(), gone.end(), parsed_) - gone.begin());
    // Only the chunks the rows fall in move.
    lines_.eraseRows(gone);
    fields_.eraseRows(gone);
    ++revision_;
    compactIfWasteful();
    if (parsed_ < lines_.size())
        reparseFrom(parsed_);
}

void ObjectList::insertRows(const RowLines& removed)
{
    const std::size_t count = removed.count();
    if (count == 0)
        return;
    const std::size_t oldSize = lines_.size();
    const std::size_t total = oldSize + count;
    const std::vector<std::size_t>& rows = removed.rows;
    if (!std::is_sorted(rows.begin(), rows.end()) || rows.back() >= total
        || std::adjacent_find(rows.begin(), rows.end()) != rows.end())
        throw std::invalid_argument("ObjectList::insertRows: rows out of order or past the end");
    // The bytes are stored first; a few rows then go into their chunks one
    // by one, many in one pass over the list.
    std::vector<std::string_view> putBack;
    putBack.reserve(count);
    std::size_t putBackBytes = 0;
    for (std::size_t i = 0; i < count; ++i) {
        putBack.push_back(arena_.store(removed.line(i)));
        putBackBytes += putBack.back().size();
    }
    lines_.insertRows(rows, putBack);
    fields_.insertRows(rows, [](std::size_t) { return ObjectFields{}; });
    liveBytes_ += putBackBytes;
    // Put-back rows are taken apart while every row before them has fields,
    // as a rebuild would; the first old row without fields (old row parsed_)
    // comes after the put-back rows that precede it.
    std::size_t parsed = parsed_ < oldSize ? parsed_ + count : total;
    for (std::size_t i = 0; i < count; ++i) {
        if (rows[i] - i > parsed_) {
            parsed = parsed_ + i;
            break;
        }
        try {
            fields_[rows[i]] = TakeApartEntryLine(removed.line(i), kind_);
        } catch (const ConversionError&) {
            parsed = rows[i];
            break;
        }
    }
    parsed_ = parsed;
    ++revision_;
    if (parsed_ < lines_.size())
        reparseFrom(parsed_);
}

void ObjectList::truncate(std::size_t size)
{
    if (size >= lines_.size())
        return;
    for (std::size_t row = size; row < lines_.size(); ++row)
        liveBytes_ -= lines_[row].size();
    lines_.resize(size);
    fields_.resize(size);
    parsed_ = std::min(parsed_, size);
    ++revision_;
    compactIfWasteful();
}

ObjectList ObjectList::takeAll()
{
    ObjectList taken(kind_);
    std::swap(taken.lines_, lines_);
    std::swap(taken.fields_, fields_);
    std::swap(taken.arena_, arena_);
    taken.parsed_ = std::exchange(parsed_, 0);
    taken.liveBytes_ = std::exchange(liveBytes_, 0);
    if (!taken.lines_.empty())
        ++revision_;
    return taken;
}

void ObjectList::restoreAll(ObjectList&& content)
{
    lines_ = std::move(content.lines_);
    fields_ = std::move(content.fields_);
    arena_ = std::move(content.arena_);
    parsed_ = content.parsed_;
    liveBytes_ = content.liveBytes_;
    content.lines_.clear();
    content.fields_.clear();
    content.parsed_ = 0;
    content.liveBytes_ = 0;
    ++revision_;
}

ObjectList::State ObjectList::saveState() const
{
    State state;
    state.lines_ = lines_;
    state.fields_ = fields_;
    state.parsed_ = parsed_;
    state.liveBytes_ = liveBytes_;
    state.arena_ = arena_.shared();
    return state;
}

void ObjectList::restoreState(const State& state)
{
    lines_ = state.lines_;
    fields_ = state.fields_;
    parsed_ = state.parsed_;
    liveBytes_ = state.liveBytes_;
    arena_ = state.arena_.shared();
    ++revision_;
}

void ObjectList::clear()
{
    const bool changed = !lines_.empty();
    lines_.clear();
    fields_.clear();
    parsed_ = 0;
    liveBytes_ = 0;
    arena_ = Arena();
    if (changed)
        ++revision_;
}

void ObjectList::rebuild()
{
    reparseFrom(0);
}

void ObjectList::permute(const std::vector<std::uint32_t>& order)
{
    bool moves = false;
    for (std::size_t k = 0; k < order.size() && !moves; ++k)
        moves = order[k] != k;
    if (!moves)
        return;
    // Built whole and swapped in: no second copy of a million fields.
    RowChunks<ObjectFields> fields(fields_.chunkSize());
    fields.reserve(fields_.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        fields.push_back(fields_[order[k]]);
    fields_.forEach(order.size(), fields_.size(), [&fields](const ObjectFields& f) { fields.push_back(f); });
    lines_.permute(order);
    fields_ = std::move(fields);
    ++revision_;
}

ObjectFields& ObjectList::editFields(std::size_t row)
{
    ++revision_;
    if (row >= fields_.size())
        throw std::out_of_range("ObjectList: no such row");
    return fields_[row];
}

void ObjectList::reserve(std::size_t rows)
{
    lines_.reserve(rows);
    fields_.reserve(rows);
}

void ObjectList::adopt(std::shared_ptr<const void> owner, std::size_t bytes)
{
    arena_.hold(std::move(owner), bytes);
}

void ObjectList::appendAdopted(std::string_view lineInAdoptedBuffer)
{
    lines_.push_back(lineInAdoptedBuffer);
    liveBytes_ += lineInAdoptedBuffer.size();
    ++revision_;
    if (parsed_ + 1 != lines_.size()) {
        afterChangeAt(lines_.size() - 1);
        return;
    }
    // Reading appends a million lines: take the new one apart directly.
    fields_.push_back(ObjectFields{});
    fields_[parsed_] = TakeApartEntryLine(lineInAdoptedBuffer, kind_);
    ++parsed_;
}

void ObjectList::appendAdoptedLater(std::string_view lineInAdoptedBuffer)
{
    lines_.push_back(lineInAdoptedBuffer);
    liveBytes_ += lineInAdoptedBuffer.size();
    ++revision_;
}

bool ObjectList::takeApartAppended(unsigned threads, std::size_t minRowsPerThread)
{
    const std::size_t from = parsed_;
    const std::size_t to = lines_.size();
    fields_.resize(to);
    if (from == to)
        return true;
    const std::size_t rows = to - from;
    const std::size_t perRun = std::max<std::size_t>(minRowsPerThread, 1);
    const std::size_t runs = std::clamp<std::size_t>(rows / perRun, 1, std::max(threads, 1u));
    // Each run stops at its first failure; the first failing run decides.
    std::vector<std::size_t> failedAt(runs, to);
    auto takeApartRun = [&](std::size_t run) {
        const std::size_t begin = from + rows * run / runs;
        const std::size_t end = from + rows * (run + 1) / runs;
        for (std::size_t row = begin; row < end; ++row) {
            try {
                fields_[row] = TakeApartEntryLine(lines_[row], kind_);
            } catch (...) {
                failedAt[run] = row;
                return;
            }
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (std::size_t run = 1; run < runs; ++run) {
            try {
                helpers.emplace_back(takeApartRun, run);
            } catch (const std::system_error&) {
                takeApartRun(run);  // no thread to be had: this one does it
            }
        }
        takeApartRun(0);
    }
    for (std::size_t run = 0; run < runs; ++run) {
        if (failedAt[run] != to) {
            parsed_ = failedAt[run];
            return false;
        }
    }
    parsed_ = to;
    return true;
}

void ObjectList::compactIfWasteful()
{
    // Replaced and removed lines leave their bytes behind; once they outweigh
    // the live ones, copy the live lines together (amortised O(1) per change).
    if (arena_.bytes() <= 2 * liveBytes_ + (std::size_t{4} << 20))
        return;
    Arena fresh;
    Lines lines;
    lines.reserve(lines_.size());
    for (std::size_t row = 0; row < lines_.size(); ++row)
        lines.push_back(fresh.store(lines_[row]));
    lines_ = std::move(lines);
    arena_ = std::move(fresh);
}

}  // namespace qel
