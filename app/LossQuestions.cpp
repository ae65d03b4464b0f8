#include "app/LossQuestions.h"

#include "core/PathText.h"

namespace qel::app {

std::string LineCount(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " line" : " lines");
}

std::string IgnoredLinesNotice(std::size_t count, const std::string& name, std::size_t firstLine)
{
    return LineCount(count) + " of " + name + (count == 1 ? " is" : " are")
           + " not part of the definition and will not be saved (first: line " + std::to_string(firstLine) + ").";
}

std::string ReplaceQuestion(const std::string& target)
{
    return NamePart(target) + " already exists. Replace it?";
}

std::string InterruptedSaveQuestion(const std::string& path, const std::string& copy)
{
    const std::string name = NamePart(path);
    return "A save of " + name + " was interrupted, so " + name + " may be incomplete. Its previous content is in "
           + copy + ". Put the previous content back?";
}

void IgnoredLines::read(const std::string& path, std::size_t count)
{
    path_ = path;
    count_ = count;
}

std::optional<std::string> IgnoredLines::question(const std::string& target) const
{
    if (count_ == 0 || target != path_)
        return std::nullopt;
    return LineCount(count_) + " of " + NamePart(path_) + (count_ == 1 ? " is" : " are")
           + " not part of the definition and will be lost. Save anyway?";
}

void IgnoredLines::saved(const std::string& target)
{
    if (target == path_)
        count_ = 0;
}

}  // namespace qel::app
