#include "core/EntryLine.h"

#include <array>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "core/Errors.h"
#include "core/IntConversion.h"
#include "core/Keywords.h"

namespace qel {

bool FindField(std::string_view line, int index, std::string_view& field)
{
    if (index < 0)
        return false;
    std::size_t start = 0;
    for (int n = 0; n < index; ++n) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos)
            return false;
        start = comma + 1;
    }
    const std::size_t end = line.find(',', start);
    field = line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    return true;
}

std::string GetTextField(std::string_view line, int index)
{
    std::string_view field;
    if (!FindField(line, index, field))
        return "-1";
    return std::string(field);
}

std::int32_t FieldNumber(std::string_view field, bool keepImagePrefix)
{
    // Works on the field as written: the prefix, the keywords and hexadecimal
    // digits are all matched without regard to case, so lower-casing a copy
    // is only needed for the error message.
    std::string_view text = field;
    if (!keepImagePrefix && StartsWithNoCase(text, "image"))
        text.remove_prefix(5);
    if (auto value = TryStrToInt(text))
        return *value;
    if (auto keyword = KeywordValueNoCase(text))
        return *keyword;
    throw ConversionError(LowerCase(text));
}

std::int32_t GetNumberField(std::string_view line, int index, bool keepImagePrefix)
{
    std::string_view field;
    if (!FindField(line, index, field))
        return -1;
    return FieldNumber(field, keepImagePrefix);
}

std::string GetImageFileName(std::string_view line)
{
    std::string result;
    bool collecting = false;
    for (char c : line) {
        if (c == ',')
            collecting = false;
        if (collecting)
            result += c;
        if (c == '=')
            collecting = true;
    }
    return result;
}

namespace {

// The layer and mode keywords by length, layers before modes as
// KeywordValueNoCase looks them up: a field is compared with at most the few
// keywords of its own length, eight bytes at a time. Keywords are letters
// only, and a byte ORed with 0x20 equals a lower-case letter exactly when the
// byte is that letter in either case, so the comparison ignores case exactly
// whatever bytes the field holds.
class KeywordsByLength {
public:
    KeywordsByLength()
    {
        for (std::size_t i = 0; i < kLayerKeywords.size(); ++i)
            add(kLayerKeywords[i], static_cast<std::int32_t>(i));
        for (std::size_t i = 0; i < kModeKeywords.size(); ++i)
            add(kModeKeywords[i], static_cast<std::int32_t>(i));
    }

    std::optional<std::int32_t> find(std::string_view field) const
    {
        if (field.size() < 4 || field.size() >= kLongest)
            return std::nullopt;
        const Key key = KeyOf(field.data(), field.size());
        for (const Entry& entry : entries_[field.size()]) {
            if (entry.value < 0)
                break;
            if (entry.key.head == key.head && entry.key.tail == key.tail)
                return entry.value;
        }
        return std::nullopt;
    }

private:
    static constexpr std::size_t kLongest = 17;
    static constexpr std::size_t kPerLength = 4;
    // The first and the last eight bytes (four below eight), lower-cased:
    // together they cover a word of up to 16 letters.
    struct Key {
        std::uint64_t head = 0;
        std::uint64_t tail = 0;
    };
    struct Entry {
        Key key;
        std::int32_t value = -1;
    };

    static Key KeyOf(const char* text, std::size_t size)
    {
        Key key;
        if (size >= 8) {
            std::memcpy(&key.head, text, 8);
            std::memcpy(&key.tail, text + size - 8, 8);
            key.head |= 0x2020202020202020u;
            key.tail |= 0x2020202020202020u;
        } else {
            std::uint32_t head = 0;
            std::uint32_t tail = 0;
            std::memcpy(&head, text, 4);
            std::memcpy(&tail, text + size - 4, 4);
            key.head = head | 0x20202020u;
            key.tail = tail | 0x20202020u;
        }
        return key;
    }

    void add(std::string_view word, std::int32_t value)
    {
        for (Entry& entry : entries_.at(word.size()))
            if (entry.value < 0) {
                entry = {KeyOf(word.data(), word.size()), value};
                return;
            }
        throw std::logic_error("too many keywords of one length");
    }

    std::array<std::array<Entry, kPerLength>, kLongest> entries_{};
};

const KeywordsByLength kKeywordsByLength;

inline bool IsLetter(char c)
{
    const char lower = static_cast<char>(c | 0x20);
    return lower >= 'a' && lower <= 'z';
}

// The field starting at `at` as a number, with `at` moved past the comma that
// ends it; returns whether a comma ended it (so another field follows). The
// common forms, plain decimal numbers and "IMAGEn", are converted in the one
// pass that looks for the comma; anything else goes through FieldNumber, so
// every rule and every message stays as it is there.
bool NextFieldNumber(std::string_view line, std::size_t& at, std::int32_t& value)
{
    const std::size_t n = line.size();
    const std::size_t start = at;
    std::size_t i = start;
    if (i + 5 <= n && (line[i] | 0x20) == 'i' && StartsWithNoCase(line.substr(i, 5), "image"))
        i += 5;
    const bool negative = i < n && line[i] == '-';
    if (negative)
        ++i;
    const std::size_t digits = i;
    std::uint32_t number = 0;
    // Nine digits always fit; longer runs take the general path.
    while (i < n && i - digits < 9) {
        const unsigned digit = static_cast<unsigned char>(line[i]) - static_cast<unsigned>('0');
        if (digit > 9)
            break;
        number = number * 10 + digit;
        ++i;
    }
    if (i > digits && (i == n || line[i] == ',')) {
        value = negative ? -static_cast<std::int32_t>(number) : static_cast<std::int32_t>(number);
        at = i == n ? n : i + 1;
        return i < n;
    }
    const std::size_t comma = line.find(',', i);
    const std::size_t end = comma == std::string_view::npos ? n : comma;
    // A field that starts with a letter but not with "image" is no number in
    // any notation: only a keyword can be.
    std::optional<std::int32_t> keyword;
    if (i == start && i < n && IsLetter(line[i]))
        keyword = kKeywordsByLength.find(line.substr(start, end - start));
    value = keyword ? *keyword : FieldNumber(line.substr(start, end - start), false);
    at = comma == std::string_view::npos ? n : comma + 1;
    return comma != std::string_view::npos;
}

}  // namespace

ObjectFields TakeApartEntryLine(std::string_view line, ObjectKind kind)
{
    // One pass over the first seven fields; later fields are never read. A
    // line has one field more than it has commas, so a final comma is
    // followed by an empty field.
    ObjectFields result;
    std::int32_t* const slots[7] = {&result.x,    &result.y,           &result.image,   &result.layer,
                                    &result.mode, &result.displayTime, &result.objectId};
    std::size_t at = 0;
    bool more = true;
    for (int index = 0; index < 7 && more; ++index) {
        if (index < 2 && kind != ObjectKind::Map) {
            // Screen coordinates stay text: only the comma after them matters.
            const std::size_t comma = line.find(',', at);
            more = comma != std::string_view::npos;
            at = more ? comma + 1 : line.size();
            continue;
        }
        more = NextFieldNumber(line, at, *slots[index]);
    }
    return result;
}

}  // namespace qel
