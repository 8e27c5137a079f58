#pragma once

// Every length the program sets in pixels (cell sizes, the colour dialog's
// boxes) is meant at 96 DPI, 100 %; a display of another density gets it
// scaled.
constexpr int kDefaultDpi = 96;

// A reading outside this range is no display's: it counts as 96.
constexpr int kMinDpi = 48;
constexpr int kMaxDpi = 960;
int UsableDpi(int dpi);

// `value` x dpi / 96, to the nearest pixel (halves away from zero), for a
// usable DPI.
int ScaleToDpi(int value, int dpi);
