#include "core/ObjectFilter.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "core/EntryLine.h"
#include "core/IntConversion.h"
#include "core/Keywords.h"

namespace qel {

namespace {

struct FieldName {
    std::string_view name;
    int field;
};

std::optional<std::int32_t> ValueOf(std::string_view text, bool keywords, bool imagePrefix)
{
    if (imagePrefix && StartsWithNoCase(text, "image"))
        text.remove_prefix(5);
    if (keywords)
        if (std::optional<std::int32_t> value = KeywordValueNoCase(text))
            return value;
    return TryStrToInt(text);
}

bool ContainsNoCase(std::string_view line, std::string_view lowerNeedle)
{
    if (lowerNeedle.size() > line.size())
        return false;
    const char first = lowerNeedle[0];
    const std::size_t last = line.size() - lowerNeedle.size();
    for (std::size_t at = 0; at <= last; ++at) {
        if (LowerAscii(line[at]) != first)
            continue;
        std::size_t i = 1;
        while (i < lowerNeedle.size() && LowerAscii(line[at + i]) == lowerNeedle[i])
            ++i;
        if (i == lowerNeedle.size())
            return true;
    }
    return false;
}

}  // namespace

ObjectFilter::ObjectFilter(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        if (end > at) {
            Term term = Parse(text.substr(at, end - at));
            // A repeated word adds nothing but work.
            if (std::find(terms_.begin(), terms_.end(), term) == terms_.end())
                terms_.push_back(std::move(term));
        }
        at = end + 1;
    }
}

ObjectFilter::Term ObjectFilter::Parse(std::string_view word)
{
    static constexpr std::array<std::pair<std::string_view, Field>, 7> kNames = {{{"x", Field::X},
                                                                                  {"y", Field::Y},
                                                                                  {"image", Field::Image},
                                                                                  {"layer", Field::Layer},
                                                                                  {"mode", Field::Mode},
                                                                                  {"time", Field::Time},
                                                                                  {"id", Field::Id}}};
    Term term;
    const std::size_t colon = word.find(':');
    if (colon != std::string_view::npos) {
        const std::string_view name = word.substr(0, colon);
        const std::string_view value = word.substr(colon + 1);
        for (const auto& [known, field] : kNames) {
            if (!EqualsNoCase(name, known))
                continue;
            const bool keywords = field == Field::Layer || field == Field::Mode;
            const bool image = field == Field::Image;
            // A range's dash is the first one after the first character, so
            // both ends may be negative: "-32--16".
            const std::size_t dash = value.empty() ? std::string_view::npos : value.find('-', 1);
            std::optional<std::int32_t> low, high;
            if (dash == std::string_view::npos) {
                low = high = ValueOf(value, keywords, image);
            } else {
                low = ValueOf(value.substr(0, dash), keywords, image);
                high = ValueOf(value.substr(dash + 1), keywords, image);
            }
            if (!low || !high) {
                term.field = Field::Nothing;
                return term;
            }
            term.field = field;
            term.low = std::min(*low, *high);
            term.high = std::max(*low, *high);
            return term;
        }
    }
    term.text = LowerCase(word);
    return term;
}

bool ObjectFilter::Matches(const Term& term, const ObjectList& list, std::size_t row)
{
    if (term.field == Field::Text)
        return ContainsNoCase(list.line(row), term.text);
    if (term.field == Field::Nothing || !list.hasFields(row))
        return false;
    const ObjectFields& f = list.fields(row);
    std::int64_t value = 0;
    switch (term.field) {
    case Field::X:
    case Field::Y:
        if (list.kind() == ObjectKind::Map) {
            value = term.field == Field::X ? f.x : f.y;
        } else {
            std::string_view text;
            if (!FindField(list.line(row), term.field == Field::X ? 0 : 1, text))
                return false;
            const std::optional<std::int32_t> whole = TryStrToInt(text);
            if (!whole)
                return false;
            value = *whole;
        }
        break;
    case Field::Image:
        value = f.image;
        break;
    case Field::Layer:
        value = f.layer;
        break;
    case Field::Mode:
        value = f.mode;
        break;
    case Field::Time:
        value = f.displayTime;
        break;
    case Field::Id:
        value = f.objectId;
        break;
    case Field::Text:
    case Field::Nothing:
        return false;
    }
    return term.low <= value && value <= term.high;
}

bool ObjectFilter::matches(const ObjectList& list, std::size_t row) const
{
    for (const Term& term : terms_)
        if (!Matches(term, list, row))
            return false;
    return true;
}

bool ObjectFilter::narrows(const ObjectFilter& wider) const
{
    for (const Term& old : wider.terms_) {
        bool implied = false;
        for (const Term& term : terms_) {
            if (term == old
                || (term.field == Field::Text && old.field == Field::Text
                    && term.text.find(old.text) != std::string::npos)
                || (term.field == old.field && term.field != Field::Text && old.low <= term.low
                    && term.high <= old.high)) {
                implied = true;
                break;
            }
        }
        if (!implied)
            return false;
    }
    return true;
}

std::vector<std::uint32_t> ObjectFilter::rows(const ObjectList& list, const std::vector<std::uint32_t>* within) const
{
    std::vector<std::uint32_t> kept;
    if (within) {
        kept.reserve(within->size());
        for (std::uint32_t row : *within)
            if (row < list.size() && matches(list, row))
                kept.push_back(row);
        return kept;
    }
    for (std::size_t row = 0; row < list.size(); ++row)
        if (matches(list, row))
            kept.push_back(static_cast<std::uint32_t>(row));
    return kept;
}

}  // namespace qel
