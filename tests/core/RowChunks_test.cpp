#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "core/RowChunks.h"

namespace {

using Chunks = qel::RowChunks<int>;

// Filled in order, chunks of 4 hold rows 0-3, 4-7, ...
struct Case {
    std::string name;
    std::size_t rows;  // filled 0, 1, 2, ... before the edit
    std::function<void(Chunks&, std::vector<int>&)> edit;
};

void Insert(Chunks& chunks, std::vector<int>& plain, std::size_t at, std::size_t count)
{
    chunks.insert(at, count, -7);
    plain.insert(plain.begin() + static_cast<std::ptrdiff_t>(at), count, -7);
}

void Erase(Chunks& chunks, std::vector<int>& plain, std::size_t first, std::size_t last)
{
    chunks.erase(first, last);
    plain.erase(plain.begin() + static_cast<std::ptrdiff_t>(first), plain.begin() + static_cast<std::ptrdiff_t>(last));
}

void EraseRows(Chunks& chunks, std::vector<int>& plain, const std::vector<std::size_t>& rows)
{
    chunks.eraseRows(rows);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        plain.erase(plain.begin() + static_cast<std::ptrdiff_t>(*row));
}

void InsertRows(Chunks& chunks, std::vector<int>& plain, const std::vector<std::size_t>& rows)
{
    chunks.insertRows(rows, [](std::size_t i) { return 1000 + static_cast<int>(i); });
    for (std::size_t i = 0; i < rows.size(); ++i)
        plain.insert(plain.begin() + static_cast<std::ptrdiff_t>(rows[i]), 1000 + static_cast<int>(i));
}

TEST(RowChunks, EditsAtChunkEdgesMatchAPlainVector)
{
    const std::vector<std::size_t> everyOther = [] {
        std::vector<std::size_t> rows;
        for (std::size_t row = 1; row < 40; row += 2)
            rows.push_back(row);
        return rows;
    }();
    const Case cases[] = {
        {"insert at a chunk start", 12, [](auto& c, auto& p) { Insert(c, p, 4, 1); }},
        {"insert at a chunk end splits it", 12, [](auto& c, auto& p) { Insert(c, p, 8, 1); }},
        {"insert before row 0", 8, [](auto& c, auto& p) { Insert(c, p, 0, 3); }},
        {"insert many in the middle", 12, [](auto& c, auto& p) { Insert(c, p, 5, 23); }},
        {"insert at the end", 9, [](auto& c, auto& p) { Insert(c, p, 9, 2); }},
        {"remove a chunk's first row", 12, [](auto& c, auto& p) { Erase(c, p, 4, 5); }},
        {"remove a chunk's last row", 12, [](auto& c, auto& p) { Erase(c, p, 7, 8); }},
        {"remove a whole chunk", 12, [](auto& c, auto& p) { Erase(c, p, 4, 8); }},
        {"remove across three chunks", 16, [](auto& c, auto& p) { Erase(c, p, 3, 13); }},
        {"remove everything", 10, [](auto& c, auto& p) { Erase(c, p, 0, 10); }},
        {"remove the last row", 9, [](auto& c, auto& p) { Erase(c, p, 8, 9); }},
        {"remove scattered rows", 41, [&](auto& c, auto& p) { EraseRows(c, p, everyOther); }},
        {"remove rows emptying chunks", 20,
         [](auto& c, auto& p) {
             EraseRows(c, p, {0, 1, 2, 3, 4, 9, 10, 11, 19});
         }},
        {"put back scattered rows", 30, [&](auto& c, auto& p) { InsertRows(c, p, everyOther); }},
        {"put back a few rows", 30,
         [](auto& c, auto& p) {
             InsertRows(c, p, {0, 4, 5, 32});
         }},
        {"shrink then grow", 13,
         [](auto& c, auto& p) {
             c.resize(6);
             p.resize(6);
             c.resize(15, 9);
             p.resize(15, 9);
         }},
        {"many single removals then inserts", 64,
         [](auto& c, auto& p) {
             for (std::size_t i = 0; i < 40; ++i)
                 Erase(c, p, (i * 7) % p.size(), (i * 7) % p.size() + 1);
             for (std::size_t i = 0; i < 60; ++i)
                 Insert(c, p, (i * 5) % (p.size() + 1), 1);
         }},
    };
    for (const std::size_t chunkSize : {4, 8})
        for (const Case& test : cases) {
            SCOPED_TRACE(test.name + " in chunks of " + std::to_string(chunkSize));
            Chunks chunks(chunkSize);
            std::vector<int> plain(test.rows);
            std::iota(plain.begin(), plain.end(), 0);
            for (int value : plain)
                chunks.push_back(value);
            test.edit(chunks, plain);
            ASSERT_EQ(chunks.size(), plain.size());
            for (std::size_t row = 0; row < plain.size(); ++row)
                ASSERT_EQ(chunks[row], plain[row]) << "row " << row;
            std::vector<int> walked;
            chunks.forEach(0, chunks.size(), [&](int value) { walked.push_back(value); });
            EXPECT_EQ(walked, plain);
            // Every chunk but the last holds a quarter of the chunk size.
            EXPECT_LE(chunks.chunkCount(), plain.size() / (chunkSize / 4) + 1);
        }
}

}  // namespace
