#pragma once
#include <cstdint>
#include <string>

// One field per registry value, each named after its value. Strings are
// UTF-8; the Win32 layer converts at the API boundary.
struct Settings {
    // "System" key
    std::string Bitmap;
    int AnimIntrvl = 50;        // milliseconds per animation step
    int BlackOutTime = 0;       // minutes; 0 = never
    int AnimBMPOption = 0;      // frame column 0 is a still picture only
    int CellSize = 32;          // pixels
    int CellArr = 1;            // arrangement pattern
    int CellNo = 5;             // piece kinds in play
    std::string PassWord;
    int BlankOption = 0;        // empty cells in BCCol
    int DoviOption = 0;         // pieces at rest in BCCol
    std::uint32_t BCCol = 0;    // COLORREF 0x00BBGGRR

    // "Sound" key
    std::string MIDI;           // MIDI file or play list
    std::string Select;         // wave for the selection
    std::string Disappear;      // wave for the disappearing
    int BGM = 0;
    int BGMRandomPlay = 1;
    int Sound = 0;
};
