#include "core/CommonFields.h"

namespace qel {

namespace {

// Keeps `value` while every row agrees; `same` turns false at the first that does not.
template <class T>
struct Agreeing {
    T value{};
    bool same = true;
    void see(const T& v, bool first)
    {
        if (first)
            value = v;
        else if (same && !(v == value))
            same = false;
    }
    std::optional<T> result() const { return same ? std::optional<T>(value) : std::nullopt; }
};

}  // namespace

CommonFields CommonFieldsOf(const ObjectList& list, ObjectKind kind, const std::vector<std::size_t>& rows)
{
    Agreeing<std::int32_t> x, y, image, layer, mode, time, id;
    Agreeing<std::string> xText, yText;
    CommonFields common;
    std::optional<std::size_t> firstRow;
    for (const std::size_t row : rows) {
        if (row >= list.size() || !list.hasFields(row))
            continue;
        const ObjectFields& f = list.fields(row);
        const bool first = common.count++ == 0;
        if (first)
            firstRow = row;
        if (kind == ObjectKind::Screen) {
            xText.see(list.xText(row), first);
            yText.see(list.yText(row), first);
        } else {
            x.see(f.x, first);
            y.see(f.y, first);
        }
        image.see(f.image, first);
        layer.see(f.layer, first);
        mode.see(f.mode, first);
        time.see(f.displayTime, first);
        id.see(f.objectId, first);
    }
    if (!firstRow)
        return common;
    if (kind == ObjectKind::Screen) {
        common.x = xText.result();
        common.y = yText.result();
    } else {
        if (x.same)
            common.x = list.xText(*firstRow);
        if (y.same)
            common.y = list.yText(*firstRow);
    }
    common.image = image.result();
    common.layer = layer.result();
    common.mode = mode.result();
    common.displayTime = time.result();
    common.objectId = id.result();
    return common;
}

}  // namespace qel
