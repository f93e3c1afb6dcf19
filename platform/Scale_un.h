// The desktop's scale for the windows the program draws itself (the loading window and the
// message boxes): the resolution the desktop asks for, in dots per inch, over the 96 their
// sizes are designed at. Pure functions, so that the rules are tested without a display.
#pragma once

#include <string>

// The dots per inch an X resource value (of Xft.dpi) gives: a positive number, perhaps with a
// fraction, between blanks; 0 when the value is none.
double DpiOfResource(const std::string& value);

// The scale for the desktop's resolution: Xft.dpi when the desktop sets it (above 0), else the
// display's as SDL reports it (above 0), else none. In steps of a quarter, so that a monitor a
// few dots finer than 96 changes nothing; never below 1 and at most 4.
double DesktopScale(double xftDpi, double displayDpi);

// The pixels of a window for each unit of its size, from its width in both; 1 when either is
// unknown (0) or there are fewer pixels than units.
double PixelDensity(int pixels, int units);

// A length of the design at a scale, rounded to whole pixels.
int Scaled(int length, double scale);
