#include <gtest/gtest.h>

#include "core/DefinitionDocument.h"
#include "core/DefinitionReader.h"
#include "core/FileListRules.h"
#include "core/ImageEditing.h"
#include "core/ObjectEditor.h"
#include "core/ObjectSort.h"
#include "core/PathText.h"

namespace {

using qel::DefinitionDocument;

TEST(DocumentState, TheFolderFollowsTheCurrentFile)
{
    DefinitionDocument doc;
    doc.setCurrentFile("/home/me/levels/defs.ini");
    EXPECT_EQ(doc.currentFile(), "/home/me/levels/defs.ini");
    EXPECT_EQ(doc.documentFolder(), "/home/me/levels/");
    doc.reset();
    EXPECT_EQ(doc.currentFile(), "");
    EXPECT_EQ(doc.documentFolder(), "");
}

TEST(DocumentState, ImageKeysShowTheNumberInPlainDecimal)
{
    DefinitionDocument doc;
    qel::ReadDefinitionBytes(doc, "[objectimages]\nIMAGE007=a\nimage-3=b\n");
    EXPECT_EQ(doc.imageKey(0), "IMAGE7");
    EXPECT_EQ(doc.imageKey(1), "IMAGE-3");
}

TEST(ChangeTracking, EveryKindOfEditCountsAChange)
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
        const std::uint64_t before = doc.changeCount();
        edit.apply(doc);
        EXPECT_NE(doc.changeCount(), before) << edit.name;
    }
}

TEST(ChangeTracking, SettingTheSameOutFileIsNoChange)
{
    DefinitionDocument doc;
    doc.setOutFile("same");
    const std::uint64_t before = doc.changeCount();
    doc.setOutFile("same");
    EXPECT_EQ(doc.changeCount(), before);
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

INSTANTIATE_TEST_SUITE_P(Cases, PathParts,
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

namespace {

// Edits that leave every value as it was must make no step to undo: several of them run on every key release or click.
TEST(ChangeTracking, EditsThatChangeNothingCountNoChange)
{
    struct NoOp {
        const char* name;
        void (*apply)(DefinitionDocument&);
    };
    const NoOp noOps[] = {
        {"switch with no row selected", [](DefinitionDocument& d) { qel::SwitchObjects(d, qel::ObjectKind::Map, {}); }},
        {"sort of sorted composed lines",
         [](DefinitionDocument& d) { qel::SortObjectsAndRegenerate(d, qel::ObjectKind::Map, qel::SortKey::XCoord); }},
        {"regeneration of composed lines", [](DefinitionDocument& d) { qel::RegenerateObjectLists(d); }},
        {"same image file", [](DefinitionDocument& d) { qel::StoreImageFile(d, 0, "a.bmp"); }},
        {"same tile number",
         [](DefinitionDocument& d) { qel::StoreImageNumber(d, 0, qel::ImageNumberField::XTiles, "4"); }},
        {"same spin value",
         [](DefinitionDocument& d) { qel::StoreImageSpinValue(d, 0, qel::ImageNumberField::AniTime, 100); }},
        {"same file from the list", [](DefinitionDocument& d) { qel::SetImageFile(d, 0, "a.bmp"); }},
        {"no file entry removed", [](DefinitionDocument& d) { qel::RemoveFileEntries(d, {7}); }},
        {"no lines appended", [](DefinitionDocument& d) { d.mapObjects().appendLines({}); }},
    };
    for (const NoOp& noOp : noOps) {
        DefinitionDocument doc;
        qel::ReadDefinitionBytes(doc,
                                 "File=a.bmp\n[objectimages]\nIMAGE0=a.bmp,4,2,100\n[mapobjects]\n"
                                 "1,2,IMAGE0,AfterTiles\n3,4,IMAGE0,AfterTiles,ShowAlways,50\n");
        const std::uint64_t before = doc.changeCount();
        noOp.apply(doc);
        EXPECT_EQ(doc.changeCount(), before) << noOp.name;
    }
}

TEST(ChangeTracking, RegenerationThatRewritesALineIsAChange)
{
    DefinitionDocument doc;
    qel::ReadDefinitionBytes(doc, "[mapobjects]\n0080,2,image0\n");
    const std::uint64_t before = doc.changeCount();
    qel::RegenerateObjectLists(doc);
    EXPECT_NE(doc.changeCount(), before);
}

}  // namespace
