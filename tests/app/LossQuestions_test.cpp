// What the editor asks before a save drops lines of the file it read, and
// how it counts them.

#include <gtest/gtest.h>

#include "app/LossQuestions.h"

using namespace qel::app;

TEST(IgnoredLinesTest, OnlyTheFirstSaveOverTheFileReadAsks)
{
    EXPECT_EQ(IgnoredLinesNotice(1, "/d/a.ini", 3),
              "1 line of /d/a.ini is not part of the definition and will not be saved (first: line 3).");
    EXPECT_EQ(IgnoredLinesNotice(494, "a.ini", 1),
              "494 lines of a.ini are not part of the definition and will not be saved (first: line 1).");

    struct Row {
        const char* name;
        std::size_t ignored;
        std::string savedBefore;  // a save that happened first, or ""
        std::string target;
        std::optional<std::string> question;
    };
    const Row rows[] = {
        {"many lines", 494, "", "/d/a.ini",
         "494 lines of a.ini are not part of the definition and will be lost. Save anyway?"},
        {"one line", 1, "", "/d/a.ini", "1 line of a.ini is not part of the definition and will be lost. Save anyway?"},
        {"none ignored", 0, "", "/d/a.ini", std::nullopt},
        {"another file keeps them", 3, "", "/d/b.ini", std::nullopt},
        {"asked once: already saved over", 3, "/d/a.ini", "/d/a.ini", std::nullopt},
        {"a save elsewhere leaves the question", 3, "/d/b.ini", "/d/a.ini",
         "3 lines of a.ini are not part of the definition and will be lost. Save anyway?"},
    };
    for (const Row& row : rows) {
        IgnoredLines lines;
        lines.read("/d/a.ini", row.ignored);
        if (!row.savedBefore.empty())
            lines.saved(row.savedBefore);
        EXPECT_EQ(lines.question(row.target), row.question) << row.name;
    }
}
