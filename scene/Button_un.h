// The 22 calculator keys: their record, their layout on the case and the drawing of one key.
#pragma once

#include "Geometry_un.h"
#include "Keypad_un.h"
#include "config/Cfgread_un.h"

#include <cstdint>

// Key i is drawn under the selection name KeyNameBase + i; a picked name of 0 means no key.
constexpr int KeyNameBase = 1050;

struct KeyRecord {
    float PressStep; // signed travel per drawing, negative is downwards
    std::int32_t Id;
    float X, Y, Z; // centre of the base; Y is animated by DrawKey
    std::int32_t Angle;
    float Edge;
    float Height;
    std::int32_t Pressed;
    std::uint32_t Texture;

    KeyRecord();
};

// Lays the keys out in their cells of the grid.
void BuildKeyTable(KeyRecord (&keys)[KeyCount], const Geometry& geometry);

// True while the press animation would still move the key: it is held and above its lowest
// step, or released and below its rest height (the geometry's keyRestHeight).
bool KeyMoves(const KeyRecord& key, float restHeight);
// Advances the press animation by one step: down while the key is held, up once released.
void StepKey(KeyRecord& key, float restHeight);

// Draws one key at the origin of the current modelview matrix. pickedName is the selection
// name of the key under the mouse; that key is drawn darker.
void DrawKey(const KeyRecord& key, std::int32_t pickedName);

// Draws the keyboard focus mark of a key at the origin of the current modelview matrix: a
// ring over the border of the key's face and its bevel, dark inside and bright outside,
// unlit, so that it stands out on every face colour and in every view.
void DrawFocusMark(const KeyRecord& key);
