// The string table, menus, accelerators and toolbar as data.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "res/Menus.h"
#include "res/Resource.h"
#include "res/StringTable.h"

namespace {

struct CExpectedItem {
    uint16_t nId;
    std::string strText;
};

std::vector<CExpectedItem> Flatten(uint16_t nMenuId, std::vector<std::string>* pTitles)
{
    std::vector<CExpectedItem> items;
    for (const CPopupDef& popup : MenuBarDef(nMenuId)) {
        if (pTitles)
            pTitles->push_back(popup.pszTitle);
        for (const CMenuItemDef& item : popup.items)
            items.push_back({item.nId, item.pszText ? item.pszText : ""});
    }
    return items;
}

} // namespace

TEST(StringTable, CommandPromptsAndTooltips)
{
    struct {
        uint32_t nId;
        const char* pszPrompt;
        const char* pszTip;
    } const cases[] = {
        {ID_FILE_NEW, "Liest ein Bild vom GB.", "Bild von GB lesen"},
        {ID_FILE_READGB, "Liest ein Bild vom GB ein", ""},
        {ID_FILE_OPEN, "Öffnet ein bestehendes Dokument.", "Öffnen"},
        {ID_FILE_SAVE_AS, "Speichert das aktive Dokument unter neuem Namen.", "Speichern unter"},
        {ID_FILE_PRINT_SETUP, "Ändert den Drucker und die Druckoptionen.", "Druckereinrichtung"},
        {ID_FILE_PRINT_PREVIEW, "Zeigt ganze Seiten an.", "Seitenansicht"},
        {ID_APP_EXIT, "Verläßt die Anwendung; fragt, ob Dokumente gespeichert werden sollen.", "Beenden"},
        {ID_EDIT_CUT, "Entfernt die Markierung und überträgt sie in die Zwischenablage.", "Ausschneiden"},
        {ID_EDIT_UNDO, "Macht die letzte Aktion rückgängig.", "Rückgängig"},
        {ID_WINDOW_CASCADE, "Ordnet die Fenster überlappend an.", "Überlappende Fenster"},
        {ID_EFFECT_SOFTEN, "Glättet Übergänge und Kanten.", "Weichzeichnen"},
        {ID_EFFECT_COLORIZE, "Färbt das Bild", "Färben"},
        {ID_EFFECT_PALETTE, "Legt eine bekannte Palette oder eigene Farben über die Graustufen des Bildes.", "Palette"},
        {ID_EDIT_COPY_SIZE, "Legt fest, wie groß „Kopieren“ das Bild in die Zwischenablage legt.", "Kopiergröße"},
        {ID_VIEW_ZOOM_IN, "Zeigt das Bild eine Stufe größer an.", "Vergrößern"},
        {ID_VIEW_ZOOM_OUT, "Zeigt das Bild eine Stufe kleiner an.", "Verkleinern"},
        {ID_VIEW_ZOOM_ORIGINAL, "Zeigt das Bild in Originalgröße an, ein Bildpunkt je Bildschirmpunkt.", "Originalgröße"},
        {ID_VIEW_ZOOM_FIT, "Zeigt das Bild so groß an, wie es ins Hauptfenster passt.", "An Fenster anpassen"},
        {ID_PREV_PANE, "Springt zum vorherigen Fensterausschnitt zurück.", "Vorheriger Ausschnitt"},
        {ID_VIEW_STATUS_BAR, "Blendet die Statusleiste ein oder aus.", "Statusleiste ein-/ausschalten"},
        {AFX_IDS_PREVIEW_CLOSE, "Beendet die Seitenansicht.", "Seitenansicht beenden"},
        {AFX_IDS_SCCLOSE, "Schließt das aktive Fenster und fordert zur Dokumentspeicherung auf.", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nId);
        EXPECT_EQ(CommandPrompt(c.nId), c.pszPrompt);
        EXPECT_EQ(CommandTip(c.nId), c.pszTip);
    }
    // The two about commands share their text, with the tooltip "Info".
    EXPECT_EQ(LoadResString(ID_APP_ABOUT), LoadResString(ID_HELP_ABOUT));
    EXPECT_EQ(CommandTip(ID_APP_ABOUT), "Info");
    // The recent-file prompt is held for all sixteen entries.
    for (uint32_t nId = ID_FILE_MRU_FILE1; nId <= ID_FILE_MRU_LAST; ++nId)
        EXPECT_EQ(LoadResString(nId), "Öffnet dieses Dokument.") << nId;
    EXPECT_FALSE(HasResString(ID_FILE_PRINT_DIRECT));
}

TEST(StringTable, IndicatorsTitlesAndFileStrings)
{
    EXPECT_EQ(LoadResString(ID_INDICATOR_EXT), "ER");
    EXPECT_EQ(LoadResString(ID_INDICATOR_CAPS), "UF");
    EXPECT_EQ(LoadResString(ID_INDICATOR_NUM), "NUM");
    EXPECT_EQ(LoadResString(ID_INDICATOR_SCRL), "RF");
    EXPECT_EQ(LoadResString(ID_INDICATOR_OVR), "ÜB");
    EXPECT_EQ(LoadResString(ID_INDICATOR_REC), "MA");
    EXPECT_EQ(LoadResString(AFX_IDS_APP_TITLE), "Quillomat");
    EXPECT_EQ(LoadResString(IDR_MAINFRAME), "Quillomat");
    EXPECT_EQ(LoadResString(IDS_FILE_DEFEXT), "*.bmp");
    EXPECT_EQ(LoadResString(IDS_FILE_FILTER), "Windows Bitmap Dateien (*.bmp;*.dib)|*.bmp;*.dib|PNG-Bilder (*.png)|*.png|"
                                              "ZSoft PCX Dateien (*.pcx)|*.pcx|");
    // Prompts of commands nothing issues are held too.
    for (uint32_t nId : {57632u, 57633u, 57636u, 57640u, 57641u, 57642u, 57644u, 57652u, 57653u, 57666u, 57667u,
                         57668u, 57669u, 57670u, 61184u, 61185u, 61186u, 61187u, 61188u, 61189u, 61202u, 61203u, 61215u})
        EXPECT_TRUE(HasResString(nId)) << nId;
}

TEST(StringTable, DocumentTemplateFields)
{
    std::string_view strDoc = LoadResString(IDR_QUILLOTYPE);
    const std::pair<DocStringIndex, const char*> fields[] = {
        {DocStringIndex::WindowTitle, ""},          {DocStringIndex::DocName, "Quillo"},
        {DocStringIndex::FileNewName, "Quillo"},    {DocStringIndex::FilterName, ""},
        {DocStringIndex::FilterExt, ""},            {DocStringIndex::RegFileTypeId, "Quillomat.Document"},
        {DocStringIndex::RegFileTypeName, "Quillo Document"},
    };
    for (const auto& [index, pszValue] : fields)
        EXPECT_EQ(DocStringField(strDoc, index), pszValue) << int(index);
    // A short string has empty fields beyond its end.
    EXPECT_EQ(DocStringField("\nName", DocStringIndex::RegFileTypeName), "");
}

TEST(StringTable, FilterListSplitsIntoPairs)
{
    auto pairs = SplitFilterList(LoadResString(IDS_FILE_FILTER));
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[0].first, "Windows Bitmap Dateien (*.bmp;*.dib)");
    EXPECT_EQ(pairs[0].second, "*.bmp;*.dib");
    EXPECT_EQ(pairs[1].first, "PNG-Bilder (*.png)");
    EXPECT_EQ(pairs[1].second, "*.png");
    EXPECT_EQ(pairs[2].first, "ZSoft PCX Dateien (*.pcx)");
    EXPECT_EQ(pairs[2].second, "*.pcx");
    // "||" ends the list; a caption without a pattern is dropped.
    EXPECT_EQ(SplitFilterList("A|a||B|b|").size(), 1u);
    EXPECT_EQ(SplitFilterList("A|a|B").size(), 1u);
    EXPECT_TRUE(SplitFilterList("").empty());
}

TEST(Menus, NoPictureMenu)
{
    std::vector<std::string> titles;
    std::vector<CExpectedItem> items = Flatten(IDR_MAINFRAME, &titles);
    EXPECT_EQ(titles, (std::vector<std::string>{"&Datei", "&Ansicht", "&?"}));
    const std::vector<CExpectedItem> expected = {
        {57600, "Von GB lesen\tStrg+N"}, {57601, "Ö&ffnen...\tStrg+O"}, {0, ""}, {57606, "Drucker&einrichtung..."},
        {0, ""}, {57616, "Letzte Datei"}, {0, ""}, {57665, "&Beenden"}, {59392, "&Symbolleiste"},
        {59393, "S&tatusleiste"}, {57664, "Inf&o über Quillomat..."},
    };
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].nId, expected[i].nId) << i;
        EXPECT_EQ(items[i].strText, expected[i].strText) << i;
    }
}

TEST(Menus, PictureMenu)
{
    std::vector<std::string> titles;
    std::vector<CExpectedItem> items = Flatten(IDR_QUILLOTYPE, &titles);
    EXPECT_EQ(titles, (std::vector<std::string>{"&Datei", "&Bearbeiten", "&Ansicht", "&Fenster", "Effekte", "&?"}));
    const std::vector<CExpectedItem> expected = {
        {57600, "Bild vo&n GB lesen\tStrg+N"}, {57601, "Ö&ffnen...\tStrg+O"}, {57602, "&Schließen"},
        {57603, "S&peichern\tStrg+S"}, {57604, "Speichern &unter..."}, {0, ""}, {57607, "&Drucken...\tStrg+P"},
        {57609, "Sei&tenansicht"}, {57606, "Drucker&einrichtung..."}, {0, ""}, {57616, "Letzte Datei"}, {0, ""},
        {57665, "&Beenden"},
        {57643, "&Rückgängig\tStrg+Z"}, {0, ""}, {57635, "&Ausschneiden\tStrg+X"}, {57634, "&Kopieren\tStrg+C"},
        {57637, "E&infügen\tStrg+V"}, {0, ""}, {32780, "Kopier&größe..."},
        {59392, "&Symbolleiste"}, {59393, "S&tatusleiste"}, {0, ""}, {32784, "&Vergrößern\tStrg++"},
        {32785, "Ver&kleinern\tStrg+-"}, {32786, "&Originalgröße\tStrg+0"}, {32787, "An Fenster an&passen"},
        {57648, "Neues &Fenster"}, {57650, "Über&lappend"}, {57651, "&Nebeneinander"}, {57649, "&Symbole anordnen"},
        {32777, "Weichzeichnen"}, {32778, "Färben"}, {32779, "Palette..."},
        {0, ""}, {32782, "Inf&o über Quillomat..."},
    };
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].nId, expected[i].nId) << i;
        EXPECT_EQ(items[i].strText, expected[i].strText) << i;
    }
    // Every command of a menu has a prompt in the string table.
    for (const CExpectedItem& item : items) {
        if (item.nId != 0) {
            EXPECT_FALSE(CommandPrompt(item.nId).empty()) << item.nId;
        }
    }
}

TEST(Menus, AcceleratorsAndToolbar)
{
    const std::set<std::pair<std::string, uint16_t>> expected = {
        {"Ctrl+C", 57634},        {"Ctrl+N", 57600},     {"Ctrl+O", 57601},   {"Ctrl+P", 57607},
        {"Ctrl+S", 57603},        {"Ctrl+V", 57637},     {"Alt+Backspace", 57643}, {"Shift+Del", 57635},
        {"F1", 57664},            {"F6", 57680},         {"Shift+F6", 57681}, {"Ctrl+Ins", 57634},
        {"Shift+Ins", 57637},     {"Ctrl+X", 57635},     {"Ctrl+Z", 57643},
        {"Ctrl++", 32784},        {"Ctrl+=", 32784},     {"Ctrl+-", 32785},   {"Ctrl+0", 32786},
    };
    std::set<std::pair<std::string, uint16_t>> table;
    for (const CAccelDef& accel : AcceleratorTable())
        table.insert({accel.pszKeys, accel.nId});
    EXPECT_EQ(AcceleratorTable().size(), 19u);
    EXPECT_EQ(table, expected);

    std::vector<uint16_t> buttons(ToolbarButtons().begin(), ToolbarButtons().end());
    EXPECT_EQ(buttons, (std::vector<uint16_t>{57600, 57601, 57603, 0, 57607, 32774}));
    std::vector<uint16_t> panes(StatusIndicators().begin(), StatusIndicators().end());
    EXPECT_EQ(panes, (std::vector<uint16_t>{59137, 59138, 59139}));
}
