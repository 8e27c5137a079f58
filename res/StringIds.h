#pragma once
// Numbers of the string table (res/Strings.rc), shared with the code.
// A settings control's tooltip is the string with the control's id
// (1008-1045, res/SettingsIds.h), so other strings keep clear of that range.

#define IDS_SAVER_NAME 1  // the name Windows lists the saver under
#define IDS_ABOUT_MENU 101

#define IDS_MISSING_BITMAP 200
#define IDS_PASSWORD_MISMATCH 201
#define IDS_BITMAP_FILTER 202
#define IDS_WAVE_FILTER 203
#define IDS_MIDI_FILTER 204

// The first line of the message for a piece image that cannot be used.
#define IDS_IMAGE_REFUSED 320
// Its second line: the reason, string IDS_IMAGE_FAULT + the fault's number
// (image/ImageRefusal.h), with {width}, {height} and the like filled in.
#define IDS_IMAGE_FAULT 300
#define IDS_IMAGE_FAULT_CANNOT_OPEN 301
#define IDS_IMAGE_FAULT_NOT_BITMAP 302
#define IDS_IMAGE_FAULT_TRUNCATED 303
#define IDS_IMAGE_FAULT_HEADER_SIZE 304
#define IDS_IMAGE_FAULT_BIT_COUNT 305
#define IDS_IMAGE_FAULT_COMPRESSION 306
#define IDS_IMAGE_FAULT_DIMENSIONS 307
#define IDS_IMAGE_FAULT_COLOUR_TABLE 308
#define IDS_IMAGE_FAULT_PIXELS_SHORT 309
#define IDS_IMAGE_FAULT_OUT_OF_MEMORY 310
#define IDS_IMAGE_FAULT_PIECE_GRID 311

// Our piece image, built into the program (RCDATA).
#define IDR_PIECE_IMAGE 130
