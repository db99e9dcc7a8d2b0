#include "res/Menus.h"

#include <array>

#include "res/Resource.h"

namespace {

// Menu 128: no picture window open.
constexpr std::array MAIN_FILE = {
    CMenuItemDef{ID_FILE_NEW, "Von GB lesen\tStrg+N"},
    CMenuItemDef{ID_FILE_OPEN, "Ö&ffnen...\tStrg+O"},
    CMenuItemDef{0, nullptr},
    CMenuItemDef{ID_FILE_PRINT_SETUP, "Drucker&einrichtung..."},
    CMenuItemDef{0, nullptr},
    CMenuItemDef{ID_FILE_MRU_FILE1, "Letzte Datei"},
    CMenuItemDef{0, nullptr},
    CMenuItemDef{ID_APP_EXIT, "&Beenden"},
};
constexpr std::array MAIN_VIEW = {
    CMenuItemDef{ID_VIEW_TOOLBAR, "&Symbolleiste"},
    CMenuItemDef{ID_VIEW_STATUS_BAR, "S&tatusleiste"},
};
constexpr std::array MAIN_HELP = {
    CMenuItemDef{ID_APP_ABOUT, "Inf&o über Quillomat..."},
};
constexpr std::array MAIN_MENU = {
    CPopupDef{"&Datei", MAIN_FILE},
    CPopupDef{"&Ansicht", MAIN_VIEW},
    CPopupDef{"&?", MAIN_HELP},
};

// Menu 129: a picture window is active.
constexpr std::array PIC_FILE = {
    CMenuItemDef{ID_FILE_NEW, "Bild vo&n GB lesen\tStrg+N"},
    CMenuItemDef{ID_FILE_OPEN, "Ö&ffnen...\tStrg+O"},
    CMenuItemDef{ID_FILE_CLOSE, "&Schließen"},
    CMenuItemDef{ID_FILE_SAVE, "S&peichern\tStrg+S"},
    CMenuItemDef{ID_FILE_SAVE_AS, "Speichern &unter..."},
    CMenuItemDef{0, nullptr},
    CMenuItemDef{ID_FILE_PRINT, "&Drucken...\tStrg+P"},
    CMenuItemDef{ID_FILE_PRINT_PREVIEW, "Sei&tenansicht"},
    CMenuItemDef{ID_FILE_PRINT_SETUP, "Drucker&einrichtung..."},
    CMenuItemDef{0, nullptr},
    CMenuItemDef{ID_FILE_MRU_FILE1, "Letzte Datei"},
    CMenuItemDef{0, nullptr},
    CMenuItemDef{ID_APP_EXIT, "&Beenden"},
};
constexpr std::array PIC_EDIT = {
    CMenuItemDef{ID_EDIT_UNDO, "&Rückgängig\tStrg+Z"},
    CMenuItemDef{0, nullptr},
    CMenuItemDef{ID_EDIT_CUT, "&Ausschneiden\tStrg+X"},
    CMenuItemDef{ID_EDIT_COPY, "&Kopieren\tStrg+C"},
    CMenuItemDef{ID_EDIT_PASTE, "E&infügen\tStrg+V"},
    CMenuItemDef{0, nullptr},
    CMenuItemDef{ID_EDIT_COPY_SIZE, "Kopier&größe..."},
};
constexpr std::array PIC_VIEW = {
    CMenuItemDef{ID_VIEW_TOOLBAR, "&Symbolleiste"},
    CMenuItemDef{ID_VIEW_STATUS_BAR, "S&tatusleiste"},
    CMenuItemDef{0, nullptr},
    CMenuItemDef{ID_VIEW_ZOOM_IN, "&Vergrößern\tStrg++"},
    CMenuItemDef{ID_VIEW_ZOOM_OUT, "Ver&kleinern\tStrg+-"},
    CMenuItemDef{ID_VIEW_ZOOM_ORIGINAL, "&Originalgröße\tStrg+0"},
    CMenuItemDef{ID_VIEW_ZOOM_FIT, "An Fenster an&passen"},
};
constexpr std::array PIC_WINDOW = {
    CMenuItemDef{ID_WINDOW_NEW, "Neues &Fenster"},
    CMenuItemDef{ID_WINDOW_CASCADE, "Über&lappend"},
    CMenuItemDef{ID_WINDOW_TILE_HORZ, "&Nebeneinander"},
    CMenuItemDef{ID_WINDOW_ARRANGE, "&Symbole anordnen"},
};
constexpr std::array PIC_EFFECTS = {
    CMenuItemDef{ID_EFFECT_SOFTEN, "Weichzeichnen"},
    CMenuItemDef{ID_EFFECT_COLORIZE, "Färben"},
    CMenuItemDef{ID_EFFECT_PALETTE, "Palette..."},
};
constexpr std::array PIC_HELP = {
    CMenuItemDef{0, nullptr},
    CMenuItemDef{ID_HELP_ABOUT, "Inf&o über Quillomat..."},
};
constexpr std::array PICTURE_MENU = {
    CPopupDef{"&Datei", PIC_FILE},
    CPopupDef{"&Bearbeiten", PIC_EDIT},
    CPopupDef{"&Ansicht", PIC_VIEW},
    CPopupDef{"&Fenster", PIC_WINDOW},
    CPopupDef{"Effekte", PIC_EFFECTS},
    CPopupDef{"&?", PIC_HELP},
};

constexpr std::array ACCELERATORS = {
    CAccelDef{"Ctrl+C", ID_EDIT_COPY},
    CAccelDef{"Ctrl+N", ID_FILE_NEW},
    CAccelDef{"Ctrl+O", ID_FILE_OPEN},
    CAccelDef{"Ctrl+P", ID_FILE_PRINT},
    CAccelDef{"Ctrl+S", ID_FILE_SAVE},
    CAccelDef{"Ctrl+V", ID_EDIT_PASTE},
    CAccelDef{"Alt+Backspace", ID_EDIT_UNDO},
    CAccelDef{"Shift+Del", ID_EDIT_CUT},
    CAccelDef{"F1", ID_APP_ABOUT},
    CAccelDef{"F6", ID_NEXT_PANE},
    CAccelDef{"Shift+F6", ID_PREV_PANE},
    CAccelDef{"Ctrl+Ins", ID_EDIT_COPY},
    CAccelDef{"Shift+Ins", ID_EDIT_PASTE},
    CAccelDef{"Ctrl+X", ID_EDIT_CUT},
    CAccelDef{"Ctrl+Z", ID_EDIT_UNDO},
    // The zoom of a picture window; "Ctrl+=" is Ctrl++ without Shift where "+" is shifted.
    CAccelDef{"Ctrl++", ID_VIEW_ZOOM_IN},
    CAccelDef{"Ctrl+=", ID_VIEW_ZOOM_IN},
    CAccelDef{"Ctrl+-", ID_VIEW_ZOOM_OUT},
    CAccelDef{"Ctrl+0", ID_VIEW_ZOOM_ORIGINAL},
};

constexpr std::array<uint16_t, 6> TOOLBAR = {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_FILE_PRINT, ID_FILE_READGB};

constexpr std::array<uint16_t, 3> INDICATORS = {ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

} // namespace

std::span<const CPopupDef> MenuBarDef(uint16_t nMenuId)
{
    if (nMenuId == IDR_MAINFRAME)
        return MAIN_MENU;
    if (nMenuId == IDR_QUILLOTYPE)
        return PICTURE_MENU;
    return {};
}

std::span<const CAccelDef> AcceleratorTable()
{
    return ACCELERATORS;
}

std::span<const uint16_t> ToolbarButtons()
{
    return TOOLBAR;
}

std::span<const uint16_t> StatusIndicators()
{
    return INDICATORS;
}
