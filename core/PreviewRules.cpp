#include "core/PreviewRules.h"

#include <algorithm>

#include "core/IntConversion.h"
#include "core/PathText.h"

namespace qel {

PictureFormat PictureFormatOf(std::string_view fileName)
{
    const std::string extension = ExtensionPart(fileName);
    if (EqualsNoCase(extension, ".bmp") || EqualsNoCase(extension, ".bm2"))
        return PictureFormat::Bitmap;
    if (EqualsNoCase(extension, ".gif"))
        return PictureFormat::Gif;
    if (EqualsNoCase(extension, ".jpg") || EqualsNoCase(extension, ".jpeg"))
        return PictureFormat::Jpeg;
    if (EqualsNoCase(extension, ".png"))
        return PictureFormat::Png;
    return PictureFormat::None;
}

bool IsSoundExtension(std::string_view extension)
{
    return EqualsNoCase(extension, ".wav") || EqualsNoCase(extension, ".wa2");
}

FilePreview ChooseFilePreview(std::string_view fileName, bool fileExists)
{
    const PictureFormat format = PictureFormatOf(fileName);
    if (format != PictureFormat::None && fileExists)
        return FilePreview::Picture;
    if (format == PictureFormat::Bitmap)
        return FilePreview::MissingBitmap;
    if (IsSoundExtension(ExtensionPart(fileName)) && fileExists)
        return FilePreview::Sound;
    return FilePreview::Nothing;
}

PictureSize FitPicture(PictureSize picture, PictureSize view)
{
    if (picture.width <= 0 || picture.height <= 0 || view.width <= 0 || view.height <= 0)
        return {};
    if (picture.width <= view.width && picture.height <= view.height)
        return picture;
    // Compare the proportions crosswise in 64 bits: the products of two 32-bit
    // sizes do not fit 32.
    const std::int64_t w = picture.width, h = picture.height, vw = view.width, vh = view.height;
    if (w * vh >= h * vw)
        return {view.width, static_cast<std::int32_t>(std::max<std::int64_t>(1, h * vw / w))};
    return {static_cast<std::int32_t>(std::max<std::int64_t>(1, w * vh / h)), view.height};
}

}  // namespace qel
