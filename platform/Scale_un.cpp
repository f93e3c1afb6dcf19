#include "Scale_un.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double DesignDpi = 96;
constexpr double ScaleStep = 0.25;
constexpr double MaxScale = 4;

} // namespace

double DpiOfResource(const std::string& value) {
    const char* start = value.c_str();
    char* end = nullptr;
    errno = 0;
    const double dpi = std::strtod(start, &end);
    if (end == start || errno != 0 || !std::isfinite(dpi) || dpi <= 0) return 0;
    // A value with more than blanks after the number (units, a second number) is not one.
    while (*end == ' ' || *end == '\t') ++end;
    return *end == '\0' ? dpi : 0;
}

double DesktopScale(double xftDpi, double displayDpi) {
    const double dpi = xftDpi > 0 ? xftDpi : displayDpi > 0 ? displayDpi : DesignDpi;
    if (!std::isfinite(dpi)) return 1;
    const double stepped = std::round(dpi / DesignDpi / ScaleStep) * ScaleStep;
    return std::clamp(stepped, 1.0, MaxScale);
}

double PixelDensity(int pixels, int units) {
    if (pixels <= 0 || units <= 0) return 1;
    return std::max(1.0, static_cast<double>(pixels) / units);
}

int Scaled(int length, double scale) {
    return static_cast<int>(std::lround(length * scale));
}
