// File list rules.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/DefinitionDocument.h"
#include "core/FileListRules.h"
#include "core/PathText.h"

namespace qel {
namespace {

// A folder as the platform writes it; "/" is a separator everywhere.
const std::string kDefs = "/defs/";

struct FakeDisk {
    std::set<std::string> files;
    FileExists exists()
    {
        return [this](const std::string& path) { return files.count(path) > 0; };
    }
    void copy(const std::vector<FileCopy>& copies)
    {
        for (const FileCopy& c : copies)
            files.insert(c.target);
    }
};

TEST(FileListEntry, IsTheNamePart)
{
    EXPECT_EQ(FileListEntry("/art/ship.bmp"), "ship.bmp");
    EXPECT_EQ(FileListEntry("ship.bmp"), "ship.bmp");
    EXPECT_EQ(FileListEntry("/art/"), "");
#ifdef _WIN32
    EXPECT_EQ(FileListEntry("C:\\art\\ship.bmp"), "ship.bmp");
    EXPECT_EQ(FileListEntry("C:ship.bmp"), "ship.bmp");
#endif
}

TEST(AddChosenFiles, CollectsIntoTheDocumentFolderOnce)
{
    DefinitionDocument doc;
    doc.setCurrentFile(kDefs + "level.ini");
    FakeDisk disk;
    auto copies = AddChosenFiles(doc, {"/art/ship.bmp"}, true, disk.exists());
    EXPECT_EQ(doc.files(), (std::vector<std::string>{"ship.bmp"}));
    EXPECT_EQ(copies, (std::vector<FileCopy>{{"/art/ship.bmp", "/defs/ship.bmp"}}));
    disk.copy(copies);
    // Adding it again lists it a second time and copies nothing.
    copies = AddChosenFiles(doc, {"/art/ship.bmp"}, true, disk.exists());
    EXPECT_EQ(doc.files(), (std::vector<std::string>{"ship.bmp", "ship.bmp"}));
    EXPECT_TRUE(copies.empty());
}

TEST(AddChosenFiles, NothingIsCopiedWithoutAFolder)
{
    DefinitionDocument doc;  // new, never saved
    FakeDisk disk;
    const auto copies = AddChosenFiles(doc, {"/art/ship.bmp"}, true, disk.exists());
    EXPECT_EQ(doc.files(), (std::vector<std::string>{"ship.bmp"}));
    EXPECT_TRUE(copies.empty());
}

TEST(AddChosenFiles, NothingIsCopiedWhenCollectingIsOff)
{
    DefinitionDocument doc;
    doc.setCurrentFile(kDefs + "level.ini");
    FakeDisk disk;
    const auto copies = AddChosenFiles(doc, {"/art/a.bmp", "/art/b.wav"}, false, disk.exists());
    EXPECT_EQ(doc.files(), (std::vector<std::string>{"a.bmp", "b.wav"}));
    EXPECT_TRUE(copies.empty());
}

TEST(AddChosenFiles, ThreeFilesInOneDialog)
{
    DefinitionDocument doc;
    doc.setCurrentFile(kDefs + "level.ini");
    FakeDisk disk;
    disk.files.insert("/defs/b.png");  // already there: listed, not copied
    const auto copies = AddChosenFiles(doc, {"/art/a.bmp", "/defs/b.png", "/other/a.bmp"}, true, disk.exists());
    EXPECT_EQ(doc.files(), (std::vector<std::string>{"a.bmp", "b.png", "a.bmp"}));
    // The second a.bmp finds the first one's copy in place.
    EXPECT_EQ(copies, (std::vector<FileCopy>{{"/art/a.bmp", "/defs/a.bmp"}}));
}

struct CollectCase {
    bool collect;
    const char* folder;
    bool exists;
    bool copied;
};

class CollectTargetTest : public ::testing::TestWithParam<CollectCase> {};

TEST_P(CollectTargetTest, Decides)
{
    const CollectCase& c = GetParam();
    const auto target =
        CollectTarget("/art/ship.bmp", c.collect, c.folder, [&](const std::string&) { return c.exists; });
    EXPECT_EQ(target.has_value(), c.copied);
    if (target) {
        EXPECT_EQ(*target, std::string(c.folder) + "ship.bmp");
    }
}

INSTANTIATE_TEST_SUITE_P(Conditions, CollectTargetTest,
                         ::testing::Values(CollectCase{true, "/defs/", false, true},
                                           CollectCase{true, "/defs/", true, false},
                                           CollectCase{true, "", false, false},
                                           CollectCase{false, "/defs/", false, false}));

TEST(RemoveFileEntries, RemovesTheSelectedOnes)
{
    DefinitionDocument doc;
    doc.editFiles() = {"a.bmp", "b.wav", "c.png", "d.gif"};
    doc.editImages().push_back(ObjectImage{1, "b.wav", -1, -1, -1});
    RemoveFileEntries(doc, {3, 1, 1, 9});
    EXPECT_EQ(doc.files(), (std::vector<std::string>{"a.bmp", "c.png"}));
    EXPECT_EQ(doc.images()[0].file, "b.wav");  // images keep their files
    RemoveFileEntries(doc, {});
    EXPECT_EQ(doc.files().size(), 2u);
}

// ---------------------------------------------------------------- double click

struct DoubleClickCase {
    const char* entry;
    const char* currentFile;
    FileDoubleClick::Action action;
    const char* question;
};

class DoubleClickTest : public ::testing::TestWithParam<DoubleClickCase> {};

TEST_P(DoubleClickTest, Decides)
{
    const DoubleClickCase& c = GetParam();
    DefinitionDocument doc;
    doc.editFiles() = {"x.bmp", c.entry};
    for (int i = 0; i < 4; ++i)
        doc.editImages().push_back(ObjectImage{i, i == 3 || i == 0 ? c.currentFile : "z.bmp", -1, -1, -1});
    const FileDoubleClick d = DecideFileDoubleClick(doc, 3u, 1u);
    EXPECT_EQ(d.action, c.action);
    EXPECT_EQ(d.question, c.question);
    if (d.action != FileDoubleClick::Action::Nothing) {
        EXPECT_EQ(d.name, c.entry);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DoubleClickTest,
                         ::testing::Values(DoubleClickCase{"sound.wav", "", FileDoubleClick::Action::Nothing, ""},
                                           DoubleClickCase{"sound.wav", "a.bmp", FileDoubleClick::Action::Nothing, ""},
                                           DoubleClickCase{"pic.BM2", "", FileDoubleClick::Action::SetFile, ""},
                                           DoubleClickCase{"b.png", "a.bmp", FileDoubleClick::Action::Ask,
                                                           "Change IMAGE3 from 'a.bmp' to 'b.png'?"},
                                           // Asked even when the name is the current file.
                                           DoubleClickCase{"a.bmp", "a.bmp", FileDoubleClick::Action::Ask,
                                                           "Change IMAGE3 from 'a.bmp' to 'a.bmp'?"},
                                           DoubleClickCase{"noext", "", FileDoubleClick::Action::Nothing, ""},
                                           DoubleClickCase{"pic.JPEG", "", FileDoubleClick::Action::SetFile, ""}));

TEST(FileDoubleClick, WithoutImageOrEntryDoesNothing)
{
    DefinitionDocument doc;
    doc.editFiles() = {"a.bmp"};
    doc.editImages().push_back(ObjectImage{0, "", -1, -1, -1});
    EXPECT_EQ(DecideFileDoubleClick(doc, std::nullopt, 0u).action, FileDoubleClick::Action::Nothing);
    EXPECT_EQ(DecideFileDoubleClick(doc, 0u, std::nullopt).action, FileDoubleClick::Action::Nothing);
    EXPECT_EQ(DecideFileDoubleClick(doc, 1u, 0u).action, FileDoubleClick::Action::Nothing);
    EXPECT_EQ(DecideFileDoubleClick(doc, 0u, 1u).action, FileDoubleClick::Action::Nothing);
}

TEST(FileDoubleClick, TheQuestionNamesTheImagesOwnNumber)
{
    DefinitionDocument doc;
    doc.editFiles() = {"ship2.bmp"};
    doc.editImages().push_back(ObjectImage{7, "ship.bmp", -1, -1, -1});
    EXPECT_EQ(DecideFileDoubleClick(doc, 0u, 0u).question, "Change IMAGE7 from 'ship.bmp' to 'ship2.bmp'?");
    SetImageFile(doc, 0, "ship2.bmp");
    EXPECT_EQ(doc.images()[0].file, "ship2.bmp");
}

TEST(PathHelpers, SharedByTheFileListPreviewAndSaveAs)
{
    EXPECT_TRUE(IsPictureExtension(".JPEG"));
    EXPECT_TRUE(IsPictureExtension(".Png"));
    EXPECT_FALSE(IsPictureExtension("jpg"));
    EXPECT_FALSE(IsPictureExtension(".tif"));
    EXPECT_FALSE(IsPictureExtension(""));
    EXPECT_EQ(ExtensionPart("/a.b/pic"), "");
    EXPECT_EQ(ExtensionPart("/a/pic.tar.gz"), ".gz");
    EXPECT_EQ(FolderPart("/defs/level.ini"), "/defs/");
    EXPECT_EQ(WithDefaultExtension("/defs/level"), "/defs/level.ini");
    EXPECT_EQ(WithDefaultExtension("/defs/level."), "/defs/level.");
    EXPECT_EQ(WithDefaultExtension("/defs/level.txt"), "/defs/level.txt");
}

}  // namespace
}  // namespace qel
