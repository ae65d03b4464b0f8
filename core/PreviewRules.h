#pragma once
// What the preview area does with a file list entry, and the texts it shows.
// Plain values only: whether the file exists is the caller's answer, and the
// loading and playing belong to the platform's picture and sound services.

#include <cstdint>
#include <string_view>

namespace qel {

// How a picture file is decoded, from its extension alone (never its content).
enum class PictureFormat {
    None,    // not a picture extension
    Bitmap,  // ".bmp", and ".bm2" which is a Windows bitmap whatever it holds
    Gif,     // ".gif"
    Jpeg,    // ".jpg", ".jpeg"
    Png,     // ".png"
};

// The format for `fileName` (a bare name or a whole path), by the extension of
// its name part compared without regard to case. A name without an extension,
// or with any other one, is None.
PictureFormat PictureFormatOf(std::string_view fileName);

// True for ".wav" and ".wa2" in any case; `extension` is the extension alone,
// its "." included. A ".wa2" file is played exactly like a ".wav" one.
bool IsSoundExtension(std::string_view extension);

// What a click on a file list entry shows.
enum class FilePreview {
    Picture,        // a picture file that exists: load it and show it
    MissingBitmap,  // a ".bmp" or ".bm2" that is not there: kMissingBitmapMessage
    Sound,          // a ".wav" or ".wa2" that exists: copy it and open the player
    Nothing,        // anything else, a missing ".gif", ".jpg", ".jpeg" or ".png" too:
                    // an empty preview area, no message
};
FilePreview ChooseFilePreview(std::string_view fileName, bool fileExists);

// The red label's text for a missing bitmap: two lines, "Unable to find" and
// "the current image...".
inline constexpr const char* kMissingBitmapMessage = "Unable to find\nthe current image...";

// The copy of the last sound previewed, which the player opens.
inline constexpr const char* kSoundPreviewName = "prev.wav";

// The red label's text when a sound preview finds no device to play on; the
// player is not offered then rather than pretending to play.
inline constexpr const char* kNoSoundDeviceMessage = "No audio output device!";

// The error for a sound file that the player cannot decode.
inline constexpr const char* kSoundNotValidMessage = "Sound file is not valid";

// The error for any picture that fails to load as a Windows bitmap.
inline constexpr const char* kBitmapNotValidMessage = "Bitmap image is not valid";

// The error for a GIF, JPEG or PNG picture whose claimed size would need more
// memory than the loader allows.
inline constexpr const char* kPictureTooLargeMessage = "Picture is too large";

// The size a picture is shown at in a view that centres it and shrinks it in
// proportion: unchanged when it fits (a picture is never enlarged), otherwise
// the largest size of the same proportions that fits, no side below 1 pixel.
// Sizes not above 0 give {0, 0}.
struct PictureSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const PictureSize&, const PictureSize&) = default;
};
PictureSize FitPicture(PictureSize picture, PictureSize view);

}  // namespace qel
