// The kept end of endless output, and a copy that follows it by what each
// append reports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/OutputTail.h"

namespace {

TEST(OutputTailTest, KeepsTheNewestBytesAndACopyFollowsByTheDroppedCount)
{
    struct Case {
        const char* name;
        std::vector<std::string> appends;
        std::string kept;
    };
    const Case cases[] = {
        {"UnderTheLimit", {"ab", "c"}, "abc"},
        {"ExactlyTheLimit", {"abcd"}, "abcd"},
        {"OneOver", {"abcd", "e"}, "bcde"},
        {"OneChunkLongerThanTheLimit", {"ab", "cdefgh"}, "efgh"},
        {"ManySmallChunksCompact", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}, "ghij"},
        {"EmptyChunks", {"", "ab", ""}, "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qel::OutputTail tail(4);
        std::string shown;
        for (const std::string& bytes : c.appends) {
            const std::size_t dropped = tail.append(bytes);
            if (dropped >= shown.size())
                shown = tail.text();
            else
                shown = shown.substr(dropped) + bytes;
            EXPECT_EQ(shown, tail.text()) << "after " << bytes;
        }
        EXPECT_EQ(tail.text(), c.kept);
    }
}

TEST(OutputTailTest, ShownLinesStartAtALineStartOnceBytesWent)
{
    struct Case {
        const char* name;
        std::vector<std::string> appends;
        std::uint64_t skipped;  // before the appends
        std::string lines;
        std::uint64_t lineStart;
    };
    const Case cases[] = {
        {"NothingDropped", {"ab\nc"}, 0, "ab\nc", 0},
        {"DroppedMidLine", {"ab\ncd", "e\nf"}, 0, "f", 7},
        {"NoLineEndKept", {"abcdefgh"}, 0, "efgh", 4},
        {"SkippedUnseen", {"x\nyz"}, 100, "yz", 102},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qel::OutputTail tail(4);
        tail.skip(c.skipped);
        for (const std::string& bytes : c.appends)
            tail.append(bytes);
        EXPECT_EQ(tail.lines(), c.lines);
        EXPECT_EQ(tail.lineStart(), c.lineStart);
    }
}

}  // namespace
