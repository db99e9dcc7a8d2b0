#pragma once
// The two menu bars: 128 while no picture window is open, 129 while one is active; the
// accelerator table 128 (the same in both states); toolbar 128.
#include <cstdint>
#include <span>

// One item of a popup. nId 0 is a separator; ID_FILE_MRU_FILE1 stands for the recent-file list,
// shown as "Letzte Datei" while the list is empty.
struct CMenuItemDef {
    uint16_t nId;
    const char* pszText;  // UTF-8; "&" marks the mnemonic, the text after "\t" is the shortcut
};

struct CPopupDef {
    const char* pszTitle;
    std::span<const CMenuItemDef> items;
};

// Menu bar by resource id (IDR_MAINFRAME or IDR_QUILLOTYPE); empty for any other id.
std::span<const CPopupDef> MenuBarDef(uint16_t nMenuId);

// One accelerator: a key sequence in Qt's portable text form ("Ctrl+C", "Shift+Ins") and its command.
struct CAccelDef {
    const char* pszKeys;
    uint16_t nId;
};
std::span<const CAccelDef> AcceleratorTable();

// Toolbar 128 from left to right; 0 is a separator.
std::span<const uint16_t> ToolbarButtons();

// Status bar panes after the message pane.
std::span<const uint16_t> StatusIndicators();
