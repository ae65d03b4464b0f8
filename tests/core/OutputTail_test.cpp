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

}  // namespace
