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
