#pragma once
#include <cstdint>
#include <string>

#include "base/Files.h"
#include "base/Registry.h"
#include "base/Settings.h"

// What the settings and colour dialogs decide without a window: the scroll
// steps, the radio buttons for stored values, the preview's cell size, the
// colour parts and the black-out limit.

// Scroll-bar requests, numbered as the system's SB_ codes.
enum ScrollCode {
    kScrollLineLeft = 0,
    kScrollLineRight = 1,
    kScrollPageLeft = 2,
    kScrollPageRight = 3,
    kScrollThumbPosition = 4,
    kScrollThumbTrack = 5,
    kScrollLeft = 6,  // Home
    kScrollRight = 7, // End
};

// Where Home and End go and the limits a step is held to, before the bar
// keeps the result inside its own range.
struct ScrollRule {
    int home;
    int end;
    int low;
    int high;
};

// Both bars of the settings dialog: Home 1, End 200, held to 0..200.
extern const ScrollRule kSettingsScroll;
// The colour bars: Home 0, End 255, held to 0..255.
extern const ScrollRule kColourScroll;

// The new position for a request at position `pos`; `thumb` is the
// position a thumb request carries. Unknown requests keep `pos`.
int ScrollStep(const ScrollRule& rule, int code, int pos, int thumb);

// A position kept inside a bar's range, landing on the nearer end.
int ClampToRange(int pos, int low, int high);

// The radio button that shows a stored value; anything unknown gets the
// last button of its group.
int SizeButton(int cellSize);     // 32, 64, 96 -> x 1..x 3; else x 4
int PatternButton(int cellArr);   // 1..4 -> Random, Line, Square, H-Line; else V-Line
int NumberButton(int cellNo);     // 3, 4 -> "3", "4"; else "5"

// The value a clicked radio button stands for; 0 for an id outside its group.
int CellSizeOf(int button);
int CellArrOf(int button);
int CellNoOf(int button);

// The settings dialog's preview shows the cells smaller: 24, 36, 48 and 60
// pixels at 96 DPI for 32, 64, 96 and 128. Whatever is stored, the result
// stays within 12 (what 0 gives) and 128, the largest size setting, so a
// hand-edited size cannot overrun the board.
int PreviewCellSize(int cellSize);

// COLORREF parts: red in the low byte, then green, then blue.
struct ColourParts {
    int red;
    int green;
    int blue;
};
std::uint32_t ColourOf(int red, int green, int blue);
ColourParts PartsOf(std::uint32_t colour);

// The black-out minutes the dialog shows, held to the display's low-power
// time-out (0: no limit).
int LimitBlackOutTime(int blackOutTime, long lowPowerMinutes);

// The fill-colour button is offered while either fill option is on.
inline bool FillColourOffered(bool blankOption, bool doviOption)
{
    return blankOption || doviOption;
}

// Colour dialog: the second image box shows one of ten cells of the piece
// image; a right click moves on to the next.
constexpr int kImageBoxCount = 10;
int NextImageIndex(int imageIndex);

// The lower-left corner of a 32 x 32 cell of the piece image, counted from
// the image's bottom-left corner as the bitmap drawing call takes it.
struct CellOrigin {
    int x;
    int y;
};
constexpr CellOrigin kEmptyCellOrigin{0, 320};
CellOrigin ImageBoxCell(int imageIndex);

// The colour dialog's areas in client pixels: the sample where the
// template puts it, the two image boxes right of it (64 pixels square and
// 10 apart from it at 96 DPI, scaled to the dialog's DPI), and the area
// both boxes take the mouse in.
struct AreaRect {
    int left;
    int top;
    int right;
    int bottom;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};
struct ColourAreas {
    AreaRect sample;
    AreaRect firstBox;
    AreaRect secondBox;
    AreaRect mouseArea;
};
ColourAreas ColourDialogAreas(const AreaRect& sample, int dpi);

// Opening and saving the settings dialog.

// The stored settings as the dialog starts from them: every value from the
// System and Sound keys (missing ones at their defaults), `bcColText` the
// stored colour text, BlackOutTime held to the low-power time-out, and no
// password (the change-password dialog's business).
void ReadDialogSettings(Settings& settings, std::string& bcColText, RegistryRoot& registry);

// The colour text to save: the stored text while the colour is the one read
// from it, whatever its spelling; a new colour in hexadecimal.
std::string SavedColourText(const std::string& storedText, std::uint32_t storedColour, std::uint32_t colour);

enum class BitmapFound {
    Stored,   // the stored path names a file
    Default,  // it did not; the default path in the current directory does
    Ours,     // the default is in use: our image beside the saver, in the install folder or built in
    Missing,  // the user's image has gone and there is none in the current directory: the user is asked
};

// Replaces a missing Bitmap by the default path when that file is there.
// Otherwise the default stays the bare file name "velomass.bmp" (Ours) and
// an image of the user's that has gone becomes it too (Missing).
BitmapFound FindDialogBitmap(std::string& bitmap, FileSystem& files);

extern const char kDefaultBitmapName[];  // "velomass.bmp"
