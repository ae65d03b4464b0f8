// What a file list entry previews, and how a picture fits the view.

#include <gtest/gtest.h>

#include <string>

#include "PreviewRules.h"

namespace qel {
namespace {

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
        PreviewCase{"BitmapShown", "ship.bmp", true, FilePreview::Picture, PictureFormat::Bitmap},
        PreviewCase{"Bm2IsABitmapInAnyCase", "pic.BM2", true, FilePreview::Picture, PictureFormat::Bitmap},
        PreviewCase{"JpegLongAndShort", "a.JPEG", true, FilePreview::Picture, PictureFormat::Jpeg},
        PreviewCase{"JpgMixedCase", "a.JpG", true, FilePreview::Picture, PictureFormat::Jpeg},
        PreviewCase{"Gif", "a.gif", true, FilePreview::Picture, PictureFormat::Gif},
        PreviewCase{"PngInFolderWithDots", "/art.v2/x.Png", true, FilePreview::Picture, PictureFormat::Png},
        PreviewCase{"MissingBitmapSaysSo", "ship.bmp", false, FilePreview::MissingBitmap, PictureFormat::Bitmap},
        PreviewCase{"MissingBm2SaysSo", "pic.bm2", false, FilePreview::MissingBitmap, PictureFormat::Bitmap},
        PreviewCase{"MissingPngIsSilent", "art.png", false, FilePreview::Nothing, PictureFormat::Png},
        PreviewCase{"WavPlays", "a.WAV", true, FilePreview::Sound, PictureFormat::None},
        PreviewCase{"Wa2PlaysLikeWav", "jingle.wa2", true, FilePreview::Sound, PictureFormat::None},
        PreviewCase{"MissingSoundIsSilent", "a.wav", false, FilePreview::Nothing, PictureFormat::None},
        PreviewCase{"ExtensionOnlyInFolder", "/a.bmp/readme", true, FilePreview::Nothing, PictureFormat::None},
        PreviewCase{"OtherFile", "notes.txt", true, FilePreview::Nothing, PictureFormat::None},
        PreviewCase{"NoDot", "bmp", true, FilePreview::Nothing, PictureFormat::None}),
    [](const ::testing::TestParamInfo<PreviewCase>& info) { return std::string(info.param.name); });

TEST(MissingBitmapMessage, IsTwoLines)
{
    EXPECT_EQ(std::string(kMissingBitmapMessage), "Unable to find\nthe current image...");
}

struct FitCase {
    const char* name;
    PictureSize picture;
    PictureSize view;
    PictureSize shown;
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
                      FitCase{"ExactFit", {153, 153}, {153, 153}, {153, 153}},
                      FitCase{"Wide", {4096, 1024}, {153, 153}, {153, 38}},
                      FitCase{"Tall", {100, 400}, {153, 153}, {38, 153}},
                      FitCase{"ThinLineKeepsOnePixel", {100000, 1}, {153, 153}, {153, 1}},
                      FitCase{"HugeSidesDoNotOverflow", {2000000000, 2000000000}, {153, 100}, {100, 100}},
                      FitCase{"EmptyPicture", {0, 10}, {153, 153}, {0, 0}}),
    [](const ::testing::TestParamInfo<FitCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qel
