#include "core/PathText.h"

#include <array>

#include "core/IntConversion.h"

namespace qel {

bool IsFolderSeparator(char c)
{
#ifdef _WIN32
    return c == '\\' || c == '/' || c == ':';
#else
    return c == '/';
#endif
}

namespace {
std::size_t NameStart(std::string_view path)
{
    for (std::size_t i = path.size(); i > 0; --i)
        if (IsFolderSeparator(path[i - 1]))
            return i;
    return 0;
}
}  // namespace

std::string FolderPart(std::string_view path)
{
    return std::string(path.substr(0, NameStart(path)));
}

std::string NamePart(std::string_view path)
{
    return std::string(path.substr(NameStart(path)));
}

std::string ExtensionPart(std::string_view path)
{
    const std::string_view name = path.substr(NameStart(path));
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

bool IsPictureExtension(std::string_view extension)
{
    static constexpr std::array<std::string_view, 6> kPictures = {".bmp", ".bm2", ".gif", ".jpg", ".jpeg", ".png"};
    for (std::string_view picture : kPictures)
        if (EqualsNoCase(extension, picture))
            return true;
    return false;
}

std::string WithDefaultExtension(std::string_view path)
{
    std::string result(path);
    if (ExtensionPart(path).empty())
        result += ".ini";
    return result;
}

}  // namespace qel
