// What a file list entry previews, and how a picture fits the view.

#include <gtest/gtest.h>

#include <string>

#include "core/PreviewRules.h"

namespace qel {
namespace {

const auto kCaseName = [](const auto& info) { return std::string(info.param.name); };

struct PreviewCase {
    const char* name;
    const char* file;
    bool exists;
    FilePreview preview;
    PictureFormat format;
};

class ChooseFilePreviewTest : public ::testing::TestWithParam<PreviewCase> {};

TEST_P(ChooseFilePreviewTest, ByExtensionAndExistence)
{
    const PreviewCase& c = GetParam();
    EXPECT_EQ(ChooseFilePreview(c.file, c.exists), c.preview);
    EXPECT_EQ(PictureFormatOf(c.file), c.format);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooseFilePreviewTest,
    ::testing::Values(
        PreviewCase{"Bm2IsABitmap", "pic.BM2", true, FilePreview::Picture, PictureFormat::Bitmap},
        PreviewCase{"JpegLong", "a.JPEG", true, FilePreview::Picture, PictureFormat::Jpeg},
        PreviewCase{"GifInFolderWithDots", "/art.v2/x.Gif", true, FilePreview::Picture, PictureFormat::Gif},
        PreviewCase{"MissingBmpSaysSo", "ship.bmp", false, FilePreview::MissingBitmap, PictureFormat::Bitmap},
        PreviewCase{"MissingPngIsSilent", "art.png", false, FilePreview::Nothing, PictureFormat::Png},
        PreviewCase{"Wa2PlaysLikeWav", "jingle.WA2", true, FilePreview::Sound, PictureFormat::None},
        PreviewCase{"MissingSoundIsSilent", "a.wav", false, FilePreview::Nothing, PictureFormat::None},
        PreviewCase{"ExtensionOnlyInFolder", "/a.bmp/readme", true, FilePreview::Nothing, PictureFormat::None}),
    kCaseName);

struct FitCase {
    const char* name;
    PictureSize picture, view, shown;
};

class FitPictureTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitPictureTest, ShrinksInProportionNeverEnlarges)
{
    const FitCase& c = GetParam();
    EXPECT_EQ(FitPicture(c.picture, c.view), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitPictureTest,
    ::testing::Values(FitCase{"SmallerKeepsItsSize", {16, 8}, {153, 153}, {16, 8}},
                      FitCase{"Tall", {100, 400}, {153, 153}, {38, 153}},
                      FitCase{"ThinLineKeepsOnePixel", {100000, 1}, {153, 153}, {153, 1}},
                      FitCase{"HugeSidesDoNotOverflow", {2000000000, 2000000000}, {153, 100}, {100, 100}},
                      FitCase{"EmptyPicture", {0, 10}, {153, 153}, {0, 0}}),
    kCaseName);

}  // namespace
}  // namespace qel
