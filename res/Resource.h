#pragma once
// Resource and command ids of the desktop program. The numbers are the ones the program has
// always used (menus, accelerators, toolbar buttons and the string table refer to them).
#include <cstdint>

// Dialogs, menus, icons, the toolbar bitmap
inline constexpr uint16_t IDD_ABOUTBOX = 100;
inline constexpr uint16_t IDR_MAINFRAME = 128;   // menu, accelerators, icon, toolbar, title
inline constexpr uint16_t IDR_QUILLOTYPE = 129;  // document template: menu, icon, doc string

// Application commands
inline constexpr uint16_t ID_FILE_READGB = 32774;     // toolbar only: read a picture from the GB
inline constexpr uint16_t ID_EFFECT_SOFTEN = 32777;
inline constexpr uint16_t ID_EFFECT_COLORIZE = 32778;
inline constexpr uint16_t ID_EFFECT_PALETTE = 32779;
inline constexpr uint16_t ID_EDIT_COPY_SIZE = 32780;  // how large "Kopieren" puts the picture
inline constexpr uint16_t ID_HELP_ABOUT = 32782;      // the about item of the picture menu
inline constexpr uint16_t ID_VIEW_ZOOM_IN = 32784;
inline constexpr uint16_t ID_VIEW_ZOOM_OUT = 32785;
inline constexpr uint16_t ID_VIEW_ZOOM_ORIGINAL = 32786;
inline constexpr uint16_t ID_VIEW_ZOOM_FIT = 32787;

// Framework commands
inline constexpr uint16_t ID_FILE_NEW = 57600;
inline constexpr uint16_t ID_FILE_OPEN = 57601;
inline constexpr uint16_t ID_FILE_CLOSE = 57602;
inline constexpr uint16_t ID_FILE_SAVE = 57603;
inline constexpr uint16_t ID_FILE_SAVE_AS = 57604;
inline constexpr uint16_t ID_FILE_PAGE_SETUP = 57605;
inline constexpr uint16_t ID_FILE_PRINT_SETUP = 57606;
inline constexpr uint16_t ID_FILE_PRINT = 57607;
inline constexpr uint16_t ID_FILE_PRINT_DIRECT = 57608;
inline constexpr uint16_t ID_FILE_PRINT_PREVIEW = 57609;
inline constexpr uint16_t ID_FILE_MRU_FILE1 = 57616;
inline constexpr uint16_t ID_FILE_MRU_FILE4 = 57619;
inline constexpr uint16_t ID_FILE_MRU_LAST = 57631;   // the string table holds prompts up to here
inline constexpr uint16_t ID_EDIT_CLEAR = 57632;
inline constexpr uint16_t ID_EDIT_CLEAR_ALL = 57633;
inline constexpr uint16_t ID_EDIT_COPY = 57634;
inline constexpr uint16_t ID_EDIT_CUT = 57635;
inline constexpr uint16_t ID_EDIT_FIND = 57636;
inline constexpr uint16_t ID_EDIT_PASTE = 57637;
inline constexpr uint16_t ID_EDIT_REPEAT = 57640;
inline constexpr uint16_t ID_EDIT_REPLACE = 57641;
inline constexpr uint16_t ID_EDIT_SELECT_ALL = 57642;
inline constexpr uint16_t ID_EDIT_UNDO = 57643;
inline constexpr uint16_t ID_EDIT_REDO = 57644;
inline constexpr uint16_t ID_WINDOW_NEW = 57648;
inline constexpr uint16_t ID_WINDOW_ARRANGE = 57649;
inline constexpr uint16_t ID_WINDOW_CASCADE = 57650;
inline constexpr uint16_t ID_WINDOW_TILE_HORZ = 57651;
inline constexpr uint16_t ID_WINDOW_TILE_VERT = 57652;
inline constexpr uint16_t ID_WINDOW_SPLIT = 57653;
inline constexpr uint16_t ID_APP_ABOUT = 57664;
inline constexpr uint16_t ID_APP_EXIT = 57665;
inline constexpr uint16_t ID_HELP_INDEX = 57666;
inline constexpr uint16_t ID_HELP_FINDER = 57667;
inline constexpr uint16_t ID_HELP_USING = 57668;
inline constexpr uint16_t ID_CONTEXT_HELP = 57669;
inline constexpr uint16_t ID_HELP = 57670;
inline constexpr uint16_t ID_NEXT_PANE = 57680;
inline constexpr uint16_t ID_PREV_PANE = 57681;

// Status bar panes
inline constexpr uint16_t ID_INDICATOR_EXT = 59136;
inline constexpr uint16_t ID_INDICATOR_CAPS = 59137;
inline constexpr uint16_t ID_INDICATOR_NUM = 59138;
inline constexpr uint16_t ID_INDICATOR_SCRL = 59139;
inline constexpr uint16_t ID_INDICATOR_OVR = 59140;
inline constexpr uint16_t ID_INDICATOR_REC = 59141;

// Control bars
inline constexpr uint16_t ID_VIEW_TOOLBAR = 59392;
inline constexpr uint16_t ID_VIEW_STATUS_BAR = 59393;

// Strings
inline constexpr uint16_t AFX_IDS_APP_TITLE = 57344;
inline constexpr uint16_t AFX_IDS_OPENFILE = 61440;
inline constexpr uint16_t AFX_IDS_SAVEFILE = 61441;
inline constexpr uint16_t AFX_IDS_ALLFILTER = 61442;
inline constexpr uint16_t IDS_FILE_DEFEXT = 61446;
inline constexpr uint16_t IDS_FILE_FILTER = 61447;
inline constexpr uint16_t AFX_IDS_SCSIZE = 61184;
inline constexpr uint16_t AFX_IDS_SCMOVE = 61185;
inline constexpr uint16_t AFX_IDS_SCMINIMIZE = 61186;
inline constexpr uint16_t AFX_IDS_SCMAXIMIZE = 61187;
inline constexpr uint16_t AFX_IDS_SCNEXTWINDOW = 61188;
inline constexpr uint16_t AFX_IDS_SCPREVWINDOW = 61189;
inline constexpr uint16_t AFX_IDS_SCCLOSE = 61190;
inline constexpr uint16_t AFX_IDS_SCRESTORE = 61202;
inline constexpr uint16_t AFX_IDS_SCTASKLIST = 61203;
inline constexpr uint16_t AFX_IDS_MDICHILD = 61215;
inline constexpr uint16_t AFX_IDS_PREVIEW_CLOSE = 61445;
