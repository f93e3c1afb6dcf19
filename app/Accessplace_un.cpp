#include "Accessplace_un.h"

#include <cmath>

AccessRect AccessRectOf(const WindowRect& r, int drawableWidth, int drawableHeight,
                        const WindowPlace& window) {
    if (r.Empty() || drawableWidth <= 0 || drawableHeight <= 0) return {};
    // A scaled desktop gives the drawable more pixels than the window has units.
    const double sx = static_cast<double>(window.width) / drawableWidth;
    const double sy = static_cast<double>(window.height) / drawableHeight;
    const int x0 = static_cast<int>(std::floor(r.x0 * sx));
    const int x1 = static_cast<int>(std::ceil(r.x1 * sx));
    const int top = static_cast<int>(std::floor((drawableHeight - r.y1) * sy));
    const int bottom = static_cast<int>(std::ceil((drawableHeight - r.y0) * sy));
    return {x0, top, x1 - x0, bottom - top};
}

AccessPlaces PlacesOf(const T_Tessel_Frm& form, const WindowPlace& window) {
    const int w = form.Window.DrawableWidth(), h = form.Window.DrawableHeight();
    const WindowMapping mapping{form.ProjectionMatrix() * form.ModelviewMatrix(), w, h};
    const Geometry& g = form.Shape;
    auto rect = [&](const WindowRect& r) { return AccessRectOf(r, w, h, window); };
    AccessPlaces places;
    places.window = window;
    places.display = rect(DisplayFrameRect(mapping, g, form.Model.View.DisplayTilt));
    places.card = rect(ProjectedRect(mapping, IdentityMatrix(),
                                     Box{g.cardX0, 0, g.cardZ0, g.cardX1, 0, g.cardZ1}));
    for (int k = 0; k < KeyCount; ++k)
        places.keys[k] = rect(KeyRect(mapping, form.Keys[k], g.keyRestHeight, g.keyRestHeight));
    return places;
}
