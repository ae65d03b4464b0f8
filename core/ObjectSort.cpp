#include "core/ObjectSort.h"

#include <algorithm>
#include <exception>
#include <numeric>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "core/EntryLine.h"
#include "core/IntConversion.h"
#include "core/Keywords.h"

namespace qel {

namespace {

constexpr std::size_t kTwoThreadsFrom = std::size_t{1} << 16;

std::int32_t NumericKey(const ObjectFields& f, SortKey key)
{
    switch (key) {
    case SortKey::XCoord:
        return f.x;
    case SortKey::YCoord:
        return f.y;
    case SortKey::Image:
        return f.image;
    case SortKey::Layer:
        return f.layer;
    case SortKey::Mode:
        return f.mode;
    case SortKey::DisplayTime:
        return f.displayTime;
    case SortKey::ObjectId:
        return f.objectId;
    }
    return -1;
}

// Field 0 or 1 of a screen line as it is taken apart: verbatim, "-1"
// when the line has too few fields.
std::string_view CoordinateText(std::string_view line, int index)
{
    std::string_view field;
    if (!FindField(line, index, field))
        return "-1";
    return field;
}

// Order-preserving map of a signed value to unsigned.
std::uint64_t Biased(std::int32_t value)
{
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(value) ^ 0x80000000u);
}

// Sorts packed (value, row) keys by their value, keeping equal values in the
// order they come: a least-significant-digit radix sort of the upper 32 bits,
// 11 bits a pass; a pass whose digit is the same for every key is skipped
// (the values of a map rarely need more than one or two).
void RadixSortByValue(std::vector<std::uint64_t>& packed)
{
    constexpr int kBits = 11;
    constexpr std::size_t kBuckets = std::size_t{1} << kBits;
    std::vector<std::uint64_t> other(packed.size());
    for (int shift = 32; shift < 64; shift += kBits) {
        std::vector<std::size_t> starts(kBuckets + 1, 0);
        for (const std::uint64_t key : packed)
            ++starts[((key >> shift) & (kBuckets - 1)) + 1];
        if (std::find(starts.begin(), starts.end(), packed.size()) != starts.end())
            continue;
        for (std::size_t b = 1; b <= kBuckets; ++b)
            starts[b] += starts[b - 1];
        for (const std::uint64_t key : packed)
            other[starts[(key >> shift) & (kBuckets - 1)]++] = key;
        packed.swap(other);
    }
}

// Sorts positions [lo, hi] of `order` (which holds row numbers) by numeric
// keys. Each key packs (value, row) into 64 bits, rows ascending; a stable
// sort on the value gives what sorting the packed keys whole would.
void SortNumeric(const ObjectList& list, std::vector<std::uint32_t>& order, std::size_t lo, std::size_t hi, SortKey key)
{
    std::vector<std::uint64_t> packed;
    packed.reserve(hi - lo + 1);
    for (std::size_t row = lo; row <= hi; ++row)
        packed.push_back(Biased(NumericKey(list.fields(row), key)) << 32 | row);
    RadixSortByValue(packed);
    for (std::size_t k = 0; k < packed.size(); ++k)
        order[lo + k] = static_cast<std::uint32_t>(packed[k] & 0xFFFFFFFFu);
}

// Screen X or Y: whole numbers by value first, then the other texts byte by byte.
void SortScreenCoordinate(const ObjectList& list, std::vector<std::uint32_t>& order, std::size_t lo, std::size_t hi,
                          int fieldIndex)
{
    std::vector<std::uint64_t> numbers;  // packed (value, row), as in SortNumeric
    struct TextKey {
        std::string_view text;
        std::uint32_t row;
    };
    std::vector<TextKey> texts;
    for (std::size_t row = lo; row <= hi; ++row) {
        const std::string_view text = CoordinateText(list.line(row), fieldIndex);
        if (const auto value = TryStrToInt(text))
            numbers.push_back(Biased(*value) << 32 | row);
        else
            texts.push_back({text, static_cast<std::uint32_t>(row)});
    }
    RadixSortByValue(numbers);
    // std::string_view compares bytes as unsigned char (char_traits<char>);
    // the stable sort keeps equal texts in their order.
    std::stable_sort(texts.begin(), texts.end(), [](const TextKey& a, const TextKey& b) { return a.text < b.text; });
    std::size_t k = lo;
    for (std::uint64_t packed : numbers)
        order[k++] = static_cast<std::uint32_t>(packed & 0xFFFFFFFFu);
    for (const TextKey& t : texts)
        order[k++] = t.row;
}

void AppendSmallField(std::string& out, std::int32_t value, std::string_view keyword)
{
    out += ',';
    if (!keyword.empty())
        out += keyword;
    else
        AppendInt(out, value);
}

}  // namespace

void SortObjectFields(ObjectList& list, std::size_t lo, std::size_t hi, SortKey key, std::vector<std::uint32_t>* moved)
{
    if (moved)
        moved->clear();
    const std::size_t count = list.takenApart();
    if (count == 0 || lo >= count)
        return;
    hi = std::min(hi, count - 1);
    if (lo >= hi)
        return;
    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    const bool screenText = list.kind() == ObjectKind::Screen && (key == SortKey::XCoord || key == SortKey::YCoord);
    if (screenText)
        SortScreenCoordinate(list, order, lo, hi, key == SortKey::XCoord ? 0 : 1);
    else
        SortNumeric(list, order, lo, hi, key);
    // Nothing to move when the range is already in order.
    bool changed = false;
    for (std::size_t k = lo; k <= hi && !changed; ++k)
        changed = order[k] != k;
    if (!changed)
        return;
    list.permute(order);
    if (moved)
        *moved = std::move(order);
}

void SortObjectFields(ObjectList& list, SortKey key, std::vector<std::uint32_t>* moved)
{
    if (moved)
        moved->clear();
    if (list.takenApart() == 0)
        return;
    SortObjectFields(list, 0, list.takenApart() - 1, key, moved);
}

void SortObjectFields(DefinitionDocument& doc, ObjectKind kind, SortKey key, std::vector<std::uint32_t>* moved)
{
    SortObjectFields(doc.objects(kind), key, moved);
}

void AppendRegeneratedLine(std::string& out, const ObjectList& list, std::size_t row)
{
    const ObjectFields& f = list.fields(row);
    if (list.kind() == ObjectKind::Map) {
        AppendInt(out, f.x);
        out += ',';
        AppendInt(out, f.y);
    } else {
        const std::string_view line = list.line(row);
        out += CoordinateText(line, 0);
        out += ',';
        out += CoordinateText(line, 1);
    }
    out += ",IMAGE";
    AppendInt(out, f.image);
    // Fields go by position, so a field is written whenever a later one is:
    // -1 ("not given") leaves a field out only at the end of the line, where
    // leaving it out reads back the same. A display time of 0 with no object
    // id after it is left out like "not given".
    const bool idWanted = f.objectId != -1 && f.objectId != 0;
    const bool timeWanted = idWanted || (f.displayTime != -1 && f.displayTime != 0);
    const bool modeWanted = timeWanted || f.mode != -1;
    const bool layerWanted = modeWanted || f.layer != -1;
    if (layerWanted)
        AppendSmallField(out, f.layer, LayerKeyword(f.layer));
    if (modeWanted)
        AppendSmallField(out, f.mode, ModeKeyword(f.mode));
    if (timeWanted) {
        out += ',';
        AppendInt(out, f.displayTime);
    }
    if (idWanted) {
        out += ',';
        AppendInt(out, f.objectId);
    }
}

std::string RegeneratedLine(const ObjectList& list, std::size_t row)
{
    std::string out;
    AppendRegeneratedLine(out, list, row);
    return out;
}

namespace {

void Regenerate(DefinitionDocument& doc, const std::vector<std::uint8_t>* sameMap,
                const std::vector<std::uint8_t>* sameScreen)
{
    for (ObjectList* list : {&doc.mapObjects(), &doc.screenObjects()}) {
        const ObjectList& source = *list;
        // regenerate() keeps the old line readable while `row` is composed.
        list->regenerate([&source](std::string& out, std::size_t row) { AppendRegeneratedLine(out, source, row); },
                         list == &doc.mapObjects() ? sameMap : sameScreen);
    }
}

// Which entries already hold the line their fields compose to. Asked in list
// order, before a sort scatters the lines: afterwards, comparing each line
// with its recomposed form would read a million lines in random order. Two
// halves at once on a large list: each only reads the list.
std::vector<std::uint8_t> AlreadyRegenerated(const ObjectList& list)
{
    std::vector<std::uint8_t> same(list.takenApart());
    const auto mark = [&](std::size_t from, std::size_t to) {
        std::string scratch;
        for (std::size_t row = from; row < to; ++row) {
            scratch.clear();
            AppendRegeneratedLine(scratch, list, row);
            same[row] = scratch == list.line(row) ? 1 : 0;
        }
    };
    const std::size_t half = same.size() >= kTwoThreadsFrom ? same.size() / 2 : same.size();
    std::exception_ptr failed;
    {
        std::optional<std::jthread> other;
        if (half < same.size()) {
            try {
                other.emplace([&] {
                    try {
                        mark(half, same.size());
                    } catch (...) {
                        failed = std::current_exception();
                    }
                });
            } catch (const std::system_error&) {
                mark(half, same.size());  // no thread to be had: this one does it
            }
        }
        mark(0, half);
    }
    if (failed)
        std::rethrow_exception(failed);
    return same;
}

}  // namespace

void RegenerateObjectLists(DefinitionDocument& doc)
{
    Regenerate(doc, nullptr, nullptr);
}

void SortObjectsAndRegenerate(DefinitionDocument& doc, ObjectKind kind, std::optional<SortKey> key,
                              std::vector<std::uint32_t>* moved)
{
    std::vector<std::uint32_t> order;
    if (moved == nullptr)
        moved = &order;
    moved->clear();
    if (!key)
        return RegenerateObjectLists(doc);
    std::vector<std::uint8_t> same = AlreadyRegenerated(doc.objects(kind));
    SortObjectFields(doc, kind, *key, moved);
    // An entry composes to the same line wherever it stands: the marks move with it.
    if (!moved->empty()) {
        std::vector<std::uint8_t> sorted(same.size());
        for (std::size_t k = 0; k < moved->size() && k < sorted.size(); ++k)
            sorted[k] = same[(*moved)[k]];
        same.swap(sorted);
    }
    Regenerate(doc, kind == ObjectKind::Map ? &same : nullptr, kind == ObjectKind::Screen ? &same : nullptr);
}

}  // namespace qel
