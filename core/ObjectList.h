#pragma once
// One kind of object entries (map or screen): the entry lines, verbatim, and
// their taken-apart fields, kept for ten million lines without a heap object
// per line. Lines live in large byte chunks (the file buffer they were read
// from, or chunks of this list); each line is a view into them. The views and
// the fields are kept in row chunks (core/RowChunks.h), so inserting or
// removing one row costs the same in a list of ten rows or ten million.
//
// Fields follow the lines: every line edit re-derives the fields it may have
// changed, and regenerate() re-derives every recomposed line, so the fields
// always equal what a full rebuild would give. When a line cannot be
// taken apart, that entry and every entry after it have no fields
// (hasFields() is false) until a later edit lets the rebuild get past it; the
// lines themselves are always kept.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/EntryLine.h"
#include "core/RowChunks.h"

namespace qel {

// Lines of a list with their rows: lines taken out (what putting them back
// needs, each with the row it had before the removal) or lines to put in
// place of others. The bytes are one block, so a thousand lines cost three
// allocations, not a thousand.
struct RowLines {
    std::vector<std::size_t> rows;  // ascending
    std::string bytes;              // the lines, one after the other
    std::vector<std::size_t> ends;  // ends[i]: where line i ends in `bytes`

    std::size_t count() const { return rows.size(); }
    std::string_view line(std::size_t i) const
    {
        const std::size_t begin = i == 0 ? 0 : ends[i - 1];
        return std::string_view(bytes).substr(begin, ends[i] - begin);
    }
    void add(std::size_t row, std::string_view text)
    {
        rows.push_back(row);
        bytes.append(text);
        ends.push_back(bytes.size());
    }
};

class ObjectList {
    class Arena;
    class Lines;

public:
    // Everything a list holds, for putting it back later. A saved state shares
    // the list's line bytes instead of copying them: saving costs the views and
    // the fields (44 bytes a line), and bytes the list later drops stay alive
    // only as long as the state does.
    class State;
    explicit ObjectList(ObjectKind kind);
    ObjectList(const ObjectList& other);
    ObjectList& operator=(const ObjectList& other);
    ObjectList(ObjectList&&) noexcept = default;
    ObjectList& operator=(ObjectList&&) noexcept = default;

    ObjectKind kind() const { return kind_; }
    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    std::string_view line(std::size_t row) const { return lines_[row]; }

    // Entries [0, takenApart()) have fields.
    std::size_t takenApart() const { return parsed_; }
    bool hasFields(std::size_t row) const { return row < parsed_; }
    const ObjectFields& fields(std::size_t row) const { return fields_[row]; }
    // X and Y as texts: map objects the decimal text of the number, screen
    // objects the line's fields 0 and 1 verbatim ("-1" when missing).
    std::string xText(std::size_t row) const;
    std::string yText(std::size_t row) const;

    // Line edits. Each keeps the lines changed even when the rebuild that
    // follows throws ConversionError for a line that cannot be taken apart.
    void append(std::string_view line);
    void appendLines(const std::vector<std::string>& lines);
    // Appends the lines `produce` hands to the callback it is given, in order,
    // each copied once into the list's storage, then re-derives the new rows'
    // fields: a million generated lines need no string of their own.
    template <class Produce>
    void appendProduced(Produce&& produce);
    // Appends rows of another list, in the order given.
    void appendRowsOf(const ObjectList& source, const std::vector<std::size_t>& rows);
    void replace(std::size_t row, std::string_view line);
    // `rows` may be in any order and hold repeats; rows past the end are ignored.
    // When `removed` is given, it receives the removed lines with their rows
    // before the rebuild that follows, which may throw ConversionError (the
    // lines are removed then too).
    void removeRows(std::vector<std::size_t> rows, RowLines* removed = nullptr);
    // Puts removed lines back at their rows: the reverse of removeRows, in one
    // pass over the list. Only the put-back rows are taken apart; may throw
    // ConversionError as every line edit does, with the lines in place.
    void insertRows(const RowLines& removed);
    // Drops the rows from `size` on (the reverse of appending); fields of the
    // kept rows stay as they are, which is what a full rebuild gives.
    void truncate(std::size_t size);
    void clear();
    // Clear that hands the lines over instead of dropping them: returns a list
    // holding everything this one held, and leaves this one empty. O(1).
    ObjectList takeAll();
    // The reverse of takeAll(): this list becomes `content`. O(1).
    void restoreAll(ObjectList&& content);
    State saveState() const;
    void restoreState(const State& state);
    // Re-derives every entry's fields from its line.
    void rebuild();

    // Moves entries (lines and fields together): entry k becomes the former
    // entry order[k]. `order` is a permutation of [0, takenApart()).
    void permute(const std::vector<std::uint32_t>& order);
    // Direct field change that leaves the line as it is (the line is recomposed
    // by regenerate()).
    ObjectFields& editFields(std::size_t row);
    // Replaces the line of every entry that has fields by compose(out, row),
    // which appends the new line to `out`; entries without fields keep their
    // line. The fields do not change. Rows marked in `same` are known to
    // compose to the line they have, and are not composed again.
    template <class Compose>
    void regenerate(Compose&& compose, const std::vector<std::uint8_t>* same = nullptr);

    // Reading support: lines that already live in `buffer` are kept as views
    // into it instead of being copied.
    void reserve(std::size_t rows);
    // `owner` keeps alive the `bytes` bytes that adopted lines point into.
    void adopt(std::shared_ptr<const void> owner, std::size_t bytes);
    void appendAdopted(std::string_view lineInAdoptedBuffer);
    // The same without taking the line apart: takeApartAppended() does that
    // for every such line at once, and nothing else may change the list
    // before it.
    void appendAdoptedLater(std::string_view lineInAdoptedBuffer);
    // Takes apart the rows from takenApart() on, split into consecutive runs
    // of at least `minRowsPerThread` rows on up to `threads` threads. Returns
    // false when a row cannot be taken apart; takenApart() is then the first
    // such row, as a single pass would leave it.
    bool takeApartAppended(unsigned threads, std::size_t minRowsPerThread);
    // Makes the room for the fields of `rows` rows that takeApartAppended()
    // fills. It touches nothing appendAdoptedLater() does, so it may run on
    // another thread while lines are appended.
    void prepareFields(std::size_t rows) { fields_.resize(rows); }

    // Grows with every change; lets the document tell whether it changed.
    std::uint64_t revision() const { return revision_; }

private:
    // The lines' views, eight bytes each instead of sixteen: the address and
    // the length packed in one word (addresses use at most 48 bits). A view
    // that does not fit (a line of 64 KiB or more) is kept aside and its
    // place holds its index there. Copies share the views kept aside until
    // one of them adds another.
    class Lines {
    public:
        std::size_t size() const { return packed_.size(); }
        bool empty() const { return packed_.empty(); }
        std::size_t memoryBytes() const { return packed_.memoryBytes(); }
        void reserve(std::size_t rows) { packed_.reserve(rows); }
        void resize(std::size_t rows) { packed_.resize(rows); }
        void clear()
        {
            packed_.clear();
            aside_.reset();
        }
        std::string_view operator[](std::size_t row) const
        {
            const std::uint64_t word = packed_[row];
            const std::size_t length = word & kAside;
            if (length != kAside)
                return {reinterpret_cast<const char*>(word >> 16), length};
            return (*aside_)[word >> 16];
        }
        std::string_view at(std::size_t row) const
        {
            if (row >= packed_.size())
                throw std::out_of_range("ObjectList: no such row");
            return (*this)[row];
        }
        void push_back(std::string_view text) { packed_.push_back(pack(text)); }
        void set(std::size_t row, std::string_view text) { packed_[row] = pack(text); }
        void eraseRows(const std::vector<std::size_t>& rows) { packed_.eraseRows(rows); }
        // Puts lines[i] in at rows[i], as RowChunks::insertRows.
        void insertRows(const std::vector<std::size_t>& rows, const std::vector<std::string_view>& lines)
        {
            packed_.insertRows(rows, [&](std::size_t i) { return pack(lines[i]); });
        }
        // Row k gets the former row order[k].
        void permute(const std::vector<std::uint32_t>& order);

    private:
        static constexpr std::uint64_t kAside = 0xFFFF;
        std::uint64_t pack(std::string_view text)
        {
            const auto address = reinterpret_cast<std::uintptr_t>(text.data());
            if (text.size() < kAside && static_cast<std::uint64_t>(address) >> 48 == 0)
                return static_cast<std::uint64_t>(address) << 16 | text.size();
            return packAside(text);
        }
        std::uint64_t packAside(std::string_view text);

        RowChunks<std::uint64_t> packed_;
        std::shared_ptr<std::vector<std::string_view>> aside_;
    };

    // Line bytes in chunks that saved states may share. Only the list itself
    // writes, and only past what any view covers; a shared copy is sealed, so
    // it starts a chunk of its own before it would ever write.
    class Arena {
    public:
        std::string_view store(std::string_view text);
        void hold(std::shared_ptr<const void> owner, std::size_t bytes);
        std::size_t bytes() const { return bytes_; }
        Arena shared() const;

    private:
        struct Chunk {
            std::shared_ptr<char[]> data;
            std::size_t used = 0;
            std::size_t capacity = 0;
        };
        std::vector<Chunk> chunks_;
        std::vector<std::shared_ptr<const void>> held_;
        std::size_t bytes_ = 0;
        bool sealed_ = false;
    };

    void reparseFrom(std::size_t from);
    void rollBackAppend(std::size_t size, std::size_t liveBytes);
    // The fields of `text`, or nothing for a line that cannot be taken apart.
    std::optional<ObjectFields> takeApart(std::string_view text) const;
    void afterChangeAt(std::size_t row);
    void compactIfWasteful();
    void copyFrom(const ObjectList& other);

    ObjectKind kind_;
    Lines lines_;
    RowChunks<ObjectFields> fields_;  // same size as lines_
    std::size_t parsed_ = 0;
    std::size_t liveBytes_ = 0;
    Arena arena_;
    std::uint64_t revision_ = 0;
};

class ObjectList::State {
public:
    // Bytes this state keeps alive beyond the list: views, fields and the
    // line bytes it shares (counted in full, as the list may drop them).
    std::size_t bytes() const;
    std::size_t size() const { return lines_.size(); }

private:
    friend class ObjectList;
    Lines lines_;
    RowChunks<ObjectFields> fields_;
    std::size_t parsed_ = 0;
    std::size_t liveBytes_ = 0;
    Arena arena_;
};

template <class Produce>
void ObjectList::appendProduced(Produce&& produce)
{
    const std::size_t first = lines_.size();
    const std::size_t firstBytes = liveBytes_;
    try {
        produce([this](std::string_view text) {
            lines_.push_back(arena_.store(text));
            liveBytes_ += text.size();
        });
        fields_.resize(lines_.size());
    } catch (...) {
        // Out of memory (or a producer's failure) half way: the list stays
        // as it was, so no view and no undo step sees half an append.
        rollBackAppend(first, firstBytes);
        throw;
    }
    if (lines_.size() == first)
        return;
    ++revision_;
    afterChangeAt(first);
}

template <class Compose>
void ObjectList::regenerate(Compose&& compose, const std::vector<std::uint8_t>* same)
{
    // Built aside and swapped in at the end: a failure half way (out of
    // memory) leaves the list as it was, every view still valid (the arena
    // only grows). A line recomposed to what it was keeps its bytes where
    // they are: most lines do, and copying a million of them is most of the
    // work.
    Lines lines;
    lines.reserve(lines_.size());
    // A recomposed line may leave out what its fields still hold (a display
    // time of 0 at the end reads back as -1): it is taken apart again, as a
    // full rebuild would, and its fields are put in with the lines.
    std::vector<std::pair<std::size_t, ObjectFields>> rederived;
    std::size_t parsed = parsed_;
    std::string scratch;
    std::size_t live = 0;
    bool changed = false;
    for (std::size_t row = 0; row < lines_.size(); ++row) {
        std::string_view text = lines_[row];
        if (row < parsed && !(same != nullptr && row < same->size() && (*same)[row] != 0)) {
            scratch.clear();
            compose(scratch, row);
            if (scratch != text) {
                changed = true;
                text = scratch;
                if (std::optional<ObjectFields> fields = takeApart(text))
                    rederived.emplace_back(row, *fields);
                else
                    parsed = row;
            }
        }
        lines.push_back(text.data() == scratch.data() ? arena_.store(text) : text);
        live += text.size();
    }
    lines_ = std::move(lines);
    for (const auto& [row, fields] : rederived)
        if (row < parsed)
            fields_[row] = fields;
    parsed_ = parsed;
    liveBytes_ = live;
    compactIfWasteful();
    // Lines recomposed to what they were already leave the document unchanged.
    if (changed)
        ++revision_;
}

}  // namespace qel
