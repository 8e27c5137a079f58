#pragma once
// Strings the program shows besides those of the dialogs, shared by the
// resource script and the code.

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
