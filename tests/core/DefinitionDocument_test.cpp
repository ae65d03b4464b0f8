#include <gtest/gtest.h>

#include "DefinitionDocument.h"
#include "DefinitionReader.h"
#include "PathText.h"

namespace {

using qel::DefinitionDocument;

TEST(DocumentState, TitleAndStatusFollowTheCurrentFile)
{
    DefinitionDocument doc;
    EXPECT_EQ(doc.windowTitle(), "QEL v2 [Tarnwick]");
    EXPECT_EQ(doc.statusText(), "");
    doc.setCurrentFile("/home/me/levels/defs.ini");
    EXPECT_EQ(doc.windowTitle(), "defs.ini - QEL v2 [Tarnwick]");
    EXPECT_EQ(doc.statusText(), "/home/me/levels/defs.ini");
    EXPECT_EQ(doc.documentFolder(), "/home/me/levels/");
    doc.reset();
    EXPECT_EQ(doc.windowTitle(), "QEL v2 [Tarnwick]");
    EXPECT_EQ(doc.documentFolder(), "");
}

TEST(DocumentState, ImageKeysShowTheNumberInPlainDecimal)
{
    DefinitionDocument doc;
    qel::ReadDefinitionBytes(doc, "[objectimages]\nIMAGE007=a\nimage-3=b\n");
    EXPECT_EQ(doc.imageKey(0), "IMAGE7");
    EXPECT_EQ(doc.imageKey(1), "IMAGE-3");
}

TEST(ChangeTracking, EveryKindOfEditMarksTheDocumentModified)
{
    struct Edit {
        const char* name;
        void (*apply)(DefinitionDocument&);
    };
    const Edit edits[] = {
        {"out file", [](DefinitionDocument& d) { d.setOutFile("x"); }},
        {"files", [](DefinitionDocument& d) { d.editFiles().push_back("a"); }},
        {"images", [](DefinitionDocument& d) { d.editImages().push_back({}); }},
        {"map line", [](DefinitionDocument& d) { d.mapObjects().append("1,1"); }},
        {"screen line", [](DefinitionDocument& d) { d.screenObjects().append("a,b"); }},
        {"reset", [](DefinitionDocument& d) { d.reset(); }},
    };
    for (const Edit& edit : edits) {
        DefinitionDocument doc;
        doc.markUnmodified();
        ASSERT_FALSE(doc.modified());
        edit.apply(doc);
        EXPECT_TRUE(doc.modified()) << edit.name;
        doc.markUnmodified();
        EXPECT_FALSE(doc.modified()) << edit.name;
    }
}

TEST(ChangeTracking, SettingTheSameOutFileIsNoChange)
{
    DefinitionDocument doc;
    doc.setOutFile("same");
    doc.markUnmodified();
    doc.setOutFile("same");
    EXPECT_FALSE(doc.modified());
}

struct PathCase {
    const char* path;
    const char* folder;
    const char* name;
    const char* extension;
    const char* saveAs;
};

class PathParts : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathParts, SplitAtTheLastSeparatorAndDot)
{
    const PathCase& c = GetParam();
    EXPECT_EQ(qel::FolderPart(c.path), c.folder);
    EXPECT_EQ(qel::NamePart(c.path), c.name);
    EXPECT_EQ(qel::ExtensionPart(c.path), c.extension);
    EXPECT_EQ(qel::WithDefaultExtension(c.path), c.saveAs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathParts,
    ::testing::Values(PathCase{"/d/defs", "/d/", "defs", "", "/d/defs.ini"},
                      PathCase{"/d/defs.txt", "/d/", "defs.txt", ".txt", "/d/defs.txt"},
                      PathCase{"/d/defs.", "/d/", "defs.", ".", "/d/defs."},
                      PathCase{"/d.x/defs", "/d.x/", "defs", "", "/d.x/defs.ini"},
                      PathCase{"defs.tar.gz", "", "defs.tar.gz", ".gz", "defs.tar.gz"},
                      PathCase{"/d/.hidden", "/d/", ".hidden", ".hidden", "/d/.hidden"},
                      PathCase{"", "", "", "", ".ini"}));

TEST(PictureExtension, MatchesTheWholeExtensionInAnyCase)
{
    for (const char* yes : {".bmp", ".BM2", ".gif", ".jpg", ".JPEG", ".Png"})
        EXPECT_TRUE(qel::IsPictureExtension(yes)) << yes;
    for (const char* no : {"jpg", ".tif", "", ".wav", ".png ", ".bmpx"})
        EXPECT_FALSE(qel::IsPictureExtension(no)) << no;
}

}  // namespace
