#pragma once
// Which of the two object lists: map objects (the [mapobjects] section,
// placed in the game world) or screen objects ([screenobjects], placed on
// the player's screen). The values are the ObjectsBox entries that choose
// them.

namespace qel {

enum class ObjectKind { Map = 0, Screen = 1 };

// The kind the other list holds.
inline ObjectKind OtherKind(ObjectKind kind)
{
    return kind == ObjectKind::Map ? ObjectKind::Screen : ObjectKind::Map;
}

}  // namespace qel
