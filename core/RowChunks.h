#pragma once
// One value per row of a list that may hold ten million rows, kept in chunks
// of a few thousand rows so that inserting or removing one row moves the
// rest of one chunk and a small index, not every row after it.
//
// Contract:
// - Row access by number is O(1): a table maps each bucket of rows (a power
//   of two no larger than the smallest chunk allowed) to the chunk holding its
//   first row, so a row lies in that chunk or within a step or two after it.
// - Every chunk but the last holds between a quarter of the chunk size and
//   the chunk size; the last holds at least one row. An empty list has no
//   chunk.
// - insert() and erase() of k rows at one place cost O(k + chunk size +
//   rows / chunk size); eraseRows() of scattered rows touches only their
//   chunks, then the index once; push_back() is amortised O(1) and fills
//   chunks one after the other, each allocated once at its full size.
// - Reading and writing distinct rows from several threads at once is safe:
//   access changes nothing.
// - The chunk size is fixed when a container is made: RowChunkSize(), 4096
//   rows unless the environment's QEL_ROW_CHUNK says otherwise (tests run the
//   whole program with chunks of 4 rows, so every edit crosses chunks).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace qel {

// A power of two, at least 4.
std::size_t RowChunkSize();
// For tests: containers made from now on use chunks of `rows` (rounded up to
// a power of two, at least 4).
void SetRowChunkSize(std::size_t rows);

template <class T>
class RowChunks {
public:
    RowChunks() : RowChunks(RowChunkSize()) {}
    explicit RowChunks(std::size_t chunkSize) : cap_(chunkSize)
    {
        while ((std::size_t{2} << shift_) <= cap_ / 4)
            ++shift_;
    }

    std::size_t size() const { return starts_.back(); }
    bool empty() const { return size() == 0; }
    std::size_t chunkSize() const { return cap_; }
    std::size_t chunkCount() const { return chunks_.size(); }

    const T& operator[](std::size_t row) const
    {
        const auto [chunk, at] = locate(row);
        return chunks_[chunk][at];
    }
    T& operator[](std::size_t row)
    {
        const auto [chunk, at] = locate(row);
        return chunks_[chunk][at];
    }

    void push_back(const T& value)
    {
        if (chunks_.empty() || chunks_.back().size() == cap_) {
            chunks_.emplace_back();
            chunks_.back().reserve(cap_);
            starts_.push_back(starts_.back());
        }
        const std::size_t row = starts_.back();
        chunks_.back().push_back(value);
        ++starts_.back();
        if ((row & bucketMask()) == 0)
            buckets_.push_back(static_cast<std::uint32_t>(chunks_.size() - 1));
    }
    void reserve(std::size_t rows) { chunks_.reserve(rows / cap_ + 1); }
    void resize(std::size_t rows, const T& value = T{})
    {
        if (rows < size())
            erase(rows, size());
        else
            insert(size(), rows - size(), value);
    }
    void assign(std::size_t rows, const T& value)
    {
        clear();
        insert(0, rows, value);
    }
    void clear() { *this = RowChunks(cap_); }

    // Inserts `count` copies of `value` before row `at` (at <= size()).
    void insert(std::size_t at, std::size_t count, const T& value)
    {
        if (count == 0)
            return;
        if (at == size()) {
            for (std::size_t i = 0; i < count; ++i)
                push_back(value);
            return;
        }
        const auto [chunk, offset] = locate(at);
        std::vector<T>& rows = chunks_[chunk];
        if (rows.size() + count <= cap_) {
            rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(offset), count, value);
            reindexFrom(chunk);
            return;
        }
        // The chunk overflows: it and the new rows are cut into chunks of
        // equal size, each at least half the chunk size.
        std::vector<T> all;
        all.reserve(rows.size() + count);
        all.insert(all.end(), rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(offset));
        all.insert(all.end(), count, value);
        all.insert(all.end(), rows.begin() + static_cast<std::ptrdiff_t>(offset), rows.end());
        const std::size_t pieces = (all.size() + cap_ - 1) / cap_;
        std::vector<std::vector<T>> cut(pieces);
        for (std::size_t p = 0; p < pieces; ++p) {
            const std::size_t begin = all.size() * p / pieces;
            const std::size_t end = all.size() * (p + 1) / pieces;
            cut[p].reserve(cap_);
            cut[p].assign(all.begin() + static_cast<std::ptrdiff_t>(begin),
                          all.begin() + static_cast<std::ptrdiff_t>(end));
        }
        chunks_[chunk] = std::move(cut[0]);
        chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(chunk) + 1,
                       std::make_move_iterator(cut.begin() + 1), std::make_move_iterator(cut.end()));
        reindexFrom(chunk);
    }

    // Removes rows [first, last).
    void erase(std::size_t first, std::size_t last)
    {
        last = std::min(last, size());
        if (first >= last)
            return;
        const std::size_t head = locate(first).first;
        const std::size_t tail = locate(last - 1).first;
        for (std::size_t chunk = head; chunk <= tail; ++chunk) {
            std::vector<T>& rows = chunks_[chunk];
            const std::size_t begin = std::max(first, starts_[chunk]) - starts_[chunk];
            const std::size_t end = std::min(last, starts_[chunk + 1]) - starts_[chunk];
            rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(begin),
                       rows.begin() + static_cast<std::ptrdiff_t>(end));
        }
        mendFrom(head, tail + 1);
    }

    // Removes the rows named in `rows` (ascending, no repeats, all below
    // size()) in one pass over the chunks they fall in.
    void eraseRows(const std::vector<std::size_t>& rows)
    {
        if (rows.empty())
            return;
        const std::size_t head = locate(rows.front()).first;
        std::size_t last = head;
        for (std::size_t next = 0; next < rows.size();) {
            const std::size_t chunk = locate(rows[next]).first;
            std::vector<T>& values = chunks_[chunk];
            const std::size_t start = starts_[chunk];
            std::size_t write = rows[next] - start;
            for (std::size_t read = write; read < values.size(); ++read) {
                if (next < rows.size() && rows[next] == start + read) {
                    ++next;
                    continue;
                }
                values[write++] = std::move(values[read]);
            }
            values.resize(write);
            last = chunk;
        }
        mendFrom(head, last + 1);
    }

    // Whether `count` single-row edits cost less than one pass over every row.
    bool fewEdits(std::size_t count) const { return count * (cap_ + chunks_.size() + buckets_.size()) < size(); }

    // Inserts a row before each of `rows` (ascending, no repeats, each row
    // numbered as it ends up, the last below size() + rows.size()); row
    // rows[i] gets fill(i). Row by row when they are few, else in one pass.
    template <class Fill>
    void insertRows(const std::vector<std::size_t>& rows, Fill&& fill)
    {
        if (fewEdits(rows.size())) {
            for (std::size_t i = 0; i < rows.size(); ++i)
                insert(rows[i], 1, fill(i));
            return;
        }
        RowChunks merged(cap_);
        merged.reserve(size() + rows.size());
        std::size_t next = 0;
        forEach(0, size(), [&](const T& value) {
            while (next < rows.size() && rows[next] == merged.size())
                merged.push_back(fill(next++));
            merged.push_back(value);
        });
        while (next < rows.size())
            merged.push_back(fill(next++));
        *this = std::move(merged);
    }

    // Bytes held, for memory budgets.
    std::size_t memoryBytes() const
    {
        std::size_t bytes = chunks_.capacity() * sizeof(std::vector<T>) + starts_.capacity() * sizeof(std::size_t)
                            + buckets_.capacity() * sizeof(std::uint32_t);
        for (const std::vector<T>& rows : chunks_)
            bytes += rows.capacity() * sizeof(T);
        return bytes;
    }

    // Calls visit(value) for rows [first, last) in order, a chunk at a time.
    template <class Visit>
    void forEach(std::size_t first, std::size_t last, Visit&& visit) const
    {
        last = std::min(last, size());
        if (first >= last)
            return;
        for (std::size_t chunk = locate(first).first; chunk < chunks_.size() && starts_[chunk] < last; ++chunk) {
            const std::size_t begin = std::max(first, starts_[chunk]) - starts_[chunk];
            const std::size_t end = std::min(last, starts_[chunk + 1]) - starts_[chunk];
            for (std::size_t at = begin; at < end; ++at)
                visit(chunks_[chunk][at]);
        }
    }

private:
    std::size_t bucketMask() const { return (std::size_t{1} << shift_) - 1; }
    std::size_t minRows() const { return cap_ / 4; }

    std::pair<std::size_t, std::size_t> locate(std::size_t row) const
    {
        std::size_t chunk = buckets_[row >> shift_];
        while (row >= starts_[chunk + 1])
            ++chunk;
        return {chunk, row - starts_[chunk]};
    }

    // Chunks [from, to) lost rows: empty ones go, one below the smallest size
    // takes rows from or joins a neighbour; then the index is made anew from
    // the first chunk that changed.
    void mendFrom(std::size_t from, std::size_t to)
    {
        const auto begin = chunks_.begin() + static_cast<std::ptrdiff_t>(from);
        const auto end = chunks_.begin() + static_cast<std::ptrdiff_t>(to);
        chunks_.erase(std::remove_if(begin, end, [](const std::vector<T>& rows) { return rows.empty(); }), end);
        // One past the changed chunks too: a join may reach it.
        for (std::size_t chunk = from; chunk + 1 < chunks_.size() && chunk <= to; ++chunk)
            if (chunks_[chunk].size() < minRows())
                joinOrBalance(chunk);
        reindexFrom(from);
    }

    // Chunks `left` and `left + 1`: one chunk when they fit in one, else
    // two of equal size.
    void joinOrBalance(std::size_t left)
    {
        std::vector<T>& a = chunks_[left];
        std::vector<T>& b = chunks_[left + 1];
        if (a.size() + b.size() <= cap_) {
            a.reserve(cap_);
            a.insert(a.end(), std::make_move_iterator(b.begin()), std::make_move_iterator(b.end()));
            chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(left) + 1);
            return;
        }
        std::vector<T> all;
        all.reserve(a.size() + b.size());
        all.insert(all.end(), std::make_move_iterator(a.begin()), std::make_move_iterator(a.end()));
        all.insert(all.end(), std::make_move_iterator(b.begin()), std::make_move_iterator(b.end()));
        const auto half = static_cast<std::ptrdiff_t>(all.size() / 2);
        a.assign(std::make_move_iterator(all.begin()), std::make_move_iterator(all.begin() + half));
        b.assign(std::make_move_iterator(all.begin() + half), std::make_move_iterator(all.end()));
    }

    // Starts of the chunks from `chunk` on, and the buckets whose first row
    // lies in them.
    void reindexFrom(std::size_t chunk)
    {
        chunk = std::min(chunk, chunks_.size());
        starts_.resize(chunks_.size() + 1);
        for (std::size_t c = chunk; c < chunks_.size(); ++c)
            starts_[c + 1] = starts_[c] + chunks_[c].size();
        const std::size_t side = std::size_t{1} << shift_;
        std::size_t bucket = (starts_[chunk] + side - 1) >> shift_;
        buckets_.resize((size() + side - 1) >> shift_);
        for (std::size_t c = chunk; bucket < buckets_.size(); ++bucket) {
            while ((bucket << shift_) >= starts_[c + 1])
                ++c;
            buckets_[bucket] = static_cast<std::uint32_t>(c);
        }
    }

    std::vector<std::vector<T>> chunks_;
    std::vector<std::size_t> starts_{0};  // starts_[c]: chunk c's first row; back(): the size
    std::vector<std::uint32_t> buckets_;  // bucket b: the chunk holding row b << shift_
    std::size_t cap_;
    std::size_t shift_ = 0;
};

}  // namespace qel
