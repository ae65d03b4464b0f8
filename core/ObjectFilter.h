#pragma once
// The object lists' filter: which rows of a list a typed filter text keeps.
//
// The text is words separated by spaces; a row is kept when it matches every
// word. A word "name:value" with a known name (any case) matches a field:
//   image:5  layer:TopMost  layer:3  mode:Kill  time:2000  id:7  x:100-200  y:0-512
// Every field word takes one number or a range "a-b" (both ends kept; a
// keyword where the field has keywords). Rows whose fields could not be taken
// apart match no field word; screen rows match x: and y: only where the
// coordinate is written as a whole number. A field word whose value is no
// number, range or keyword matches nothing. Any other word, an unknown name
// included, is plain text found anywhere in the line, ASCII case ignored.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ObjectList.h"

namespace qel {

class ObjectFilter {
public:
    ObjectFilter() = default;
    explicit ObjectFilter(std::string_view text);

    // No word at all: every row is kept.
    bool empty() const { return terms_.empty(); }
    bool matches(const ObjectList& list, std::size_t row) const;
    // True when every row this filter keeps is kept by `wider` too, so
    // filtering what `wider` kept gives the whole answer.
    bool narrows(const ObjectFilter& wider) const;

    // The rows of `list` kept, ascending. With `within` (ascending rows of an
    // earlier filter this one narrows), only those rows are tested.
    std::vector<std::uint32_t> rows(const ObjectList& list, const std::vector<std::uint32_t>* within = nullptr) const;

private:
    enum class Field { Text, X, Y, Image, Layer, Mode, Time, Id, Nothing };
    struct Term {
        Field field = Field::Text;
        std::string text;  // Text: lower case
        std::int64_t low = 0;
        std::int64_t high = 0;
        friend bool operator==(const Term&, const Term&) = default;
    };
    static Term Parse(std::string_view word);
    static bool Matches(const Term& term, const ObjectList& list, std::size_t row);

    std::vector<Term> terms_;
};

}  // namespace qel
