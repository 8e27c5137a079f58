#pragma once
// Resource numbers of the settings, colour, MIDI list and About dialogs,
// shared by the resource script and the code. A control's tooltip is the
// string with the control's id.

#define IDD_ABOUT 100
#define IDD_SETTINGS 102
#define IDD_COLOUR 142
#define IDD_MIDI_LIST 144

#define IDI_VELOMA 128

// System menu command and button of the About box.
#define IDM_ABOUT 16
#define IDC_ABOUT 16

// Settings dialog
#define IDC_BITMAP_PATH 1000
#define IDC_CHOOSE_BITMAP 1001
#define IDC_CHOOSE_SELECT 1002
#define IDC_CHOOSE_DISAPPEAR 1003
#define IDC_CHOOSE_MIDI 1004
#define IDC_SELECT_PATH 1005
#define IDC_DISAPPEAR_PATH 1006
#define IDC_MIDI_PATH 1007
#define IDC_PATTERN_RANDOM 1008
#define IDC_PATTERN_LINE 1009
#define IDC_PATTERN_HLINE 1010
#define IDC_PATTERN_VLINE 1011
#define IDC_PATTERN_SQUARE 1012
#define IDC_NUMBER_3 1013
#define IDC_NUMBER_4 1014
#define IDC_NUMBER_5 1015
#define IDC_SOUND 1016
#define IDC_BGM 1017
#define IDC_BMP_OPTION 1018
#define IDC_SPEED_BAR 1019
#define IDC_SPEED_TEXT 1020
#define IDC_BLACKOUT_TEXT 1021
#define IDC_BLACKOUT_BAR 1022
#define IDC_PREVIEW_PLACE 1026
#define IDC_CHANGE_PASSWORD 1030
#define IDC_SIZE_1 1031
#define IDC_SIZE_2 1032
#define IDC_SIZE_3 1033
#define IDC_SIZE_4 1034
#define IDC_BLANK_CELL_OPTION 1035
#define IDC_FILL_COLOUR 1044
#define IDC_INITIAL_CELL_OPTION 1045

// Tooltip texts are the strings of these control ids.
#define IDS_FIRST_TOOLTIP 1008
#define IDS_LAST_TOOLTIP 1045

// Colour dialog
#define IDC_COLOUR_SAMPLE 1040
#define IDC_RED_BAR 1041
#define IDC_GREEN_BAR 1042
#define IDC_BLUE_BAR 1043

// MIDI list dialog
#define IDC_LIST_IN_ORDER 1008
#define IDC_LIST_AT_RANDOM 1009
