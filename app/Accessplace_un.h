// Where the screen reader's view finds the calculator's parts: the display, the card and
// each key as the present frame shows them, in the window's own units from its top left.
#pragma once

#include "Tessel_un.h"
#include "access/Access_un.h"

// A rectangle of the drawable (pixels from the bottom left) in the window's units (from the
// top left), for a drawable of this size in a window of that one.
AccessRect AccessRectOf(const WindowRect& r, int drawableWidth, int drawableHeight,
                        const WindowPlace& window);

AccessPlaces PlacesOf(const T_Tessel_Frm& form, const WindowPlace& window);
