// Clipboard lines: a paste takes all its lines or none, naming the line that
// failed; pasted groups land on the map; duplicates move as a move does.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Errors.h"
#include "core/ObjectClipboard.h"
#include "tests/core/ListLines.h"

using namespace qel;

namespace {

std::vector<std::string> Placed(const RowLines& lines)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < lines.count(); ++i)
        out.emplace_back(lines.line(i));
    return out;
}

}  // namespace

TEST(ObjectClipboardTest, PasteTakesEveryLineOrNamesTheFirstThatFails)
{
    struct Case {
        std::u16string text;
        ObjectKind kind;
        std::vector<std::string> lines;  // when taken
        std::string message;             // when refused
    };
    const Case cases[] = {
        {u"", ObjectKind::Map, {}, ""},
        {u"\r\n\n", ObjectKind::Map, {}, ""},
        {u"1,2,IMAGE0\r\n\r\n3,4,image1,TopMost,Kill,0,5,x\n5,6,IMAGE2\r7,8,IMAGE3,1,2,3,4,\u00e9",
         ObjectKind::Map,
         {"1,2,IMAGE0", "3,4,image1,TopMost,Kill,0,5,x", "5,6,IMAGE2", "7,8,IMAGE3,1,2,3,4,\xe9"},
         ""},
        {u"x,2,IMAGE0\r\n1,2,IMAGE0",
         ObjectKind::Map,
         {},
         "Line 1 of the pasted text: 'x' is not a valid integer value"},
        {u"1,2,IMAGE0\r\n\r\nC-5,2,IMAGE0\r\n1,2,IMAGE0",
         ObjectKind::Map,
         {},
         "Line 3 of the pasted text: 'c-5' is not a valid integer value"},
        {u"C-5,2,IMAGE0\r\n1,2,IMAGEz\r\n",
         ObjectKind::Screen,
         {},
         "Line 2 of the pasted text: 'z' is not a valid integer value"},
        {u"1,2,IMAGE0\n3,4,IMAGE0 \u4e2d",
         ObjectKind::Map,
         {},
         "Line 2 of the pasted text: the character U+4E2D is not a Latin-1 character"},
        {u"1,2,IMAGE0\n\n\n\xd83d\xde00",
         ObjectKind::Screen,
         {},
         "Line 4 of the pasted text: the character U+1F600 is not a Latin-1 character"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            const ObjectList list = PastedObjects(c.text, c.kind);
            EXPECT_EQ(c.message, "");
            EXPECT_EQ(Lines(list), c.lines);
        } catch (const MessageError& e) {
            EXPECT_EQ(e.message(), c.message);
        }
    }
}

TEST(ObjectClipboardTest, PastedGroupLandsOnThePointerAndStaysOnTheMap)
{
    ObjectList group(ObjectKind::Map);
    group.appendLines({"100,50,IMAGE0,TopMost", "132,40,IMAGE1"});
    struct Case {
        std::int64_t x, y;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {0, 0, {"0,10,IMAGE0,TopMost", "32,0,IMAGE1"}},
        {-48, -16, {"0,10,IMAGE0,TopMost", "32,0,IMAGE1"}},
        {16384, 16384, {"16336,16368,IMAGE0,TopMost", "16368,16358,IMAGE1"}},
    };
    for (const Case& c : cases) {
        const auto [dx, dy] = PlacementMove(group, c.x, c.y);
        EXPECT_EQ(Placed(PlacedLines(group, 7, dx, dy)), c.lines) << c.x << "," << c.y;
    }
}

TEST(ObjectClipboardTest, DuplicatesMoveAsAMoveDoes)
{
    struct Case {
        ObjectKind kind;
        std::vector<std::string> lines;
        std::vector<std::string> placed;
    };
    const Case cases[] = {
        {ObjectKind::Map, {"16368,0,IMAGE0,TopMost,Kill", "1,2,x"}, {"16384,16,IMAGE0,TopMost,Kill", "1,2,x"}},
        {ObjectKind::Screen,
         {"C-20,c-8,IMAGE0", "5,C-0,IMAGE1", "a,b,IMAGE2"},
         {"C-4,c-8,IMAGE0", "21,C-0,IMAGE1", "a,b,IMAGE2"}},
        {ObjectKind::Screen, {"C-3,0,IMAGE0"}, {"C-0,16,IMAGE0"}},
    };
    for (const Case& c : cases) {
        ObjectList group(c.kind);
        try {
            group.appendLines(c.lines);
        } catch (const ConversionError&) {
        }
        const RowLines placed = PlacedLines(group, 3, kDuplicateOffset, kDuplicateOffset);
        EXPECT_EQ(Placed(placed), c.placed);
        EXPECT_EQ(placed.rows.front(), 3u);
    }
}
