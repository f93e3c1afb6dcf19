#include "Damage_un.h"

ShownFrame FrameOf(const WindowMapping& mapping, double displayTilt,
                   const KeyRecord (&keys)[KeyCount], std::int32_t pickedName, const char* text,
                   bool memoryShown, int focusedKey) {
    ShownFrame f;
    f.mapping = mapping;
    f.displayTilt = displayTilt;
    for (int i = 0; i < KeyCount; ++i) f.keyY[i] = keys[i].Y;
    f.pickedName = pickedName;
    f.text = text;
    f.memoryShown = memoryShown;
    f.focusedKey = focusedKey;
    return f;
}

WindowRect DamageOf(const ShownFrame& last, const ShownFrame& next, const Geometry& g,
                    const KeyRecord (&keys)[KeyCount]) {
    const WindowMapping& m = next.mapping;
    const bool samePlace = last.mapping.projectionModelview == m.projectionModelview &&
                           last.mapping.width == m.width && last.mapping.height == m.height &&
                           last.displayTilt == next.displayTilt;
    if (!samePlace)
        return Union(CalculatorRect(last.mapping, g, last.displayTilt),
                     CalculatorRect(m, g, next.displayTilt));
    WindowRect damage;
    for (int i = 0; i < KeyCount; ++i) {
        const std::int32_t name = KeyNameBase + i;
        const bool recoloured = last.pickedName != next.pickedName &&
                                (name == last.pickedName || name == next.pickedName);
        const bool marked =
            last.focusedKey != next.focusedKey && (i == last.focusedKey || i == next.focusedKey);
        if (recoloured || marked || last.keyY[i] != next.keyY[i])
            damage = Union(damage, KeyRect(m, keys[i], last.keyY[i], next.keyY[i]));
    }
    if (last.text != next.text || last.memoryShown != next.memoryShown)
        damage = Union(damage, GlyphAreaRect(m, g, next.displayTilt));
    return damage;
}
