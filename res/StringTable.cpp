#include "res/StringTable.h"

#include <algorithm>
#include <array>
#include <utility>

#include "res/Resource.h"

namespace {

struct CStringEntry {
    uint32_t nId;
    const char* pszText;
};

constexpr const char* MRU_PROMPT = "Öffnet dieses Dokument.";
constexpr const char* ABOUT_PROMPT = "Zeigt Programminformationen und die Versionsnummer an.\nInfo";

// Sorted by id.
constexpr std::array STRINGS = {
    CStringEntry{IDR_MAINFRAME, "Quillomat"},
    CStringEntry{IDR_QUILLOTYPE, "\nQuillo\nQuillo\n\n\nQuillomat.Document\nQuillo Document"},
    CStringEntry{ID_FILE_READGB, "Liest ein Bild vom GB ein"},
    CStringEntry{ID_EFFECT_SOFTEN, "Glättet Übergänge und Kanten.\nWeichzeichnen"},
    CStringEntry{ID_EFFECT_COLORIZE, "Färbt das Bild\nFärben"},
    CStringEntry{ID_EFFECT_PALETTE, "Legt eine bekannte Palette oder eigene Farben über die Graustufen des Bildes.\nPalette"},
    CStringEntry{ID_EDIT_COPY_SIZE, "Legt fest, wie groß „Kopieren“ das Bild in die Zwischenablage legt.\nKopiergröße"},
    CStringEntry{ID_HELP_ABOUT, ABOUT_PROMPT},
    CStringEntry{ID_VIEW_ZOOM_IN, "Zeigt das Bild eine Stufe größer an.\nVergrößern"},
    CStringEntry{ID_VIEW_ZOOM_OUT, "Zeigt das Bild eine Stufe kleiner an.\nVerkleinern"},
    CStringEntry{ID_VIEW_ZOOM_ORIGINAL, "Zeigt das Bild in Originalgröße an, ein Bildpunkt je Bildschirmpunkt.\nOriginalgröße"},
    CStringEntry{ID_VIEW_ZOOM_FIT, "Zeigt das Bild so groß an, wie es ins Hauptfenster passt.\nAn Fenster anpassen"},
    CStringEntry{AFX_IDS_APP_TITLE, "Quillomat"},
    CStringEntry{ID_FILE_NEW, "Liest ein Bild vom GB.\nBild von GB lesen"},
    CStringEntry{ID_FILE_OPEN, "Öffnet ein bestehendes Dokument.\nÖffnen"},
    CStringEntry{ID_FILE_CLOSE, "Schließt das aktive Dokument.\nSchließen"},
    CStringEntry{ID_FILE_SAVE, "Speichert das aktive Dokument.\nSpeichern"},
    CStringEntry{ID_FILE_SAVE_AS, "Speichert das aktive Dokument unter neuem Namen.\nSpeichern unter"},
    CStringEntry{ID_FILE_PRINT_SETUP, "Ändert den Drucker und die Druckoptionen.\nDruckereinrichtung"},
    CStringEntry{ID_FILE_PRINT, "Druckt das aktive Dokument.\nDrucken"},
    CStringEntry{ID_FILE_PRINT_PREVIEW, "Zeigt ganze Seiten an.\nSeitenansicht"},
    CStringEntry{57616, MRU_PROMPT}, CStringEntry{57617, MRU_PROMPT}, CStringEntry{57618, MRU_PROMPT},
    CStringEntry{57619, MRU_PROMPT}, CStringEntry{57620, MRU_PROMPT}, CStringEntry{57621, MRU_PROMPT},
    CStringEntry{57622, MRU_PROMPT}, CStringEntry{57623, MRU_PROMPT}, CStringEntry{57624, MRU_PROMPT},
    CStringEntry{57625, MRU_PROMPT}, CStringEntry{57626, MRU_PROMPT}, CStringEntry{57627, MRU_PROMPT},
    CStringEntry{57628, MRU_PROMPT}, CStringEntry{57629, MRU_PROMPT}, CStringEntry{57630, MRU_PROMPT},
    CStringEntry{57631, MRU_PROMPT},
    CStringEntry{ID_EDIT_CLEAR, "Löscht die Markierung.\nLöschen"},
    CStringEntry{ID_EDIT_CLEAR_ALL, "Löscht alles.\nAlles löschen"},
    CStringEntry{ID_EDIT_COPY, "Kopiert die Markierung und überträgt sie in die Zwischenablage.\nKopieren"},
    CStringEntry{ID_EDIT_CUT, "Entfernt die Markierung und überträgt sie in die Zwischenablage.\nAusschneiden"},
    CStringEntry{ID_EDIT_FIND, "Sucht den angegebenen Text.\nSuchen"},
    CStringEntry{ID_EDIT_PASTE, "Fügt den Inhalt der Zwischenablage ein.\nEinfügen"},
    CStringEntry{ID_EDIT_REPEAT, "Wiederholt die letzte Aktion.\nWiederholen"},
    CStringEntry{ID_EDIT_REPLACE, "Ersetzt einen bestimmten Text durch einen anderen.\nErsetzen"},
    CStringEntry{ID_EDIT_SELECT_ALL, "Markiert das gesamte Dokument.\nAlles markieren"},
    CStringEntry{ID_EDIT_UNDO, "Macht die letzte Aktion rückgängig.\nRückgängig"},
    CStringEntry{ID_EDIT_REDO, "Stellt die zuletzt rückgängig gemachte Aktion wieder her.\nWiederherstellen"},
    CStringEntry{ID_WINDOW_NEW, "Öffnet ein weiteres Fenster für das aktive Dokument.\nNeues Fenster"},
    CStringEntry{ID_WINDOW_ARRANGE, "Ordnet die Symbole im unteren Bereich des Fensters an.\nSymbole anordnen"},
    CStringEntry{ID_WINDOW_CASCADE, "Ordnet die Fenster überlappend an.\nÜberlappende Fenster"},
    CStringEntry{ID_WINDOW_TILE_HORZ, "Ordnet die Fenster nebeneinander an.\nFenster nebeneinander"},
    CStringEntry{ID_WINDOW_TILE_VERT, "Ordnet die Fenster untereinander an.\nFenster untereinander"},
    CStringEntry{ID_WINDOW_SPLIT, "Teilt das aktive Fenster in Ausschnitte.\nTeilen"},
    CStringEntry{ID_APP_ABOUT, ABOUT_PROMPT},
    CStringEntry{ID_APP_EXIT, "Verläßt die Anwendung; fragt, ob Dokumente gespeichert werden sollen.\nBeenden"},
    CStringEntry{ID_HELP_INDEX, "Öffnet den Hilfeindex.\nHilfethemen"},
    CStringEntry{ID_HELP_FINDER, "Listet die Hilfethemen auf.\nHilfethemen"},
    CStringEntry{ID_HELP_USING, "Zeigt an, wie die Hilfe benutzt wird.\nHilfe"},
    CStringEntry{ID_CONTEXT_HELP, "Zeigt die Hilfe zu angeklickten Schaltflächen, Menüs und Fenstern an.\nHilfe"},
    CStringEntry{ID_HELP, "Zeigt die Hilfe zur aktuellen Aufgabe oder zum aktuellen Befehl an.\nHilfe"},
    CStringEntry{ID_NEXT_PANE, "Wechselt zum nächsten Fensterausschnitt.\nNächster Ausschnitt"},
    CStringEntry{ID_PREV_PANE, "Springt zum vorherigen Fensterausschnitt zurück.\nVorheriger Ausschnitt"},
    CStringEntry{ID_INDICATOR_EXT, "ER"},
    CStringEntry{ID_INDICATOR_CAPS, "UF"},
    CStringEntry{ID_INDICATOR_NUM, "NUM"},
    CStringEntry{ID_INDICATOR_SCRL, "RF"},
    CStringEntry{ID_INDICATOR_OVR, "ÜB"},
    CStringEntry{ID_INDICATOR_REC, "MA"},
    CStringEntry{ID_VIEW_TOOLBAR, "Blendet die Symbolleiste ein oder aus.\nSymbolleiste ein-/ausschalten"},
    CStringEntry{ID_VIEW_STATUS_BAR, "Blendet die Statusleiste ein oder aus.\nStatusleiste ein-/ausschalten"},
    CStringEntry{AFX_IDS_SCSIZE, "Ändert die Fenstergröße."},
    CStringEntry{AFX_IDS_SCMOVE, "Ändert die Position des Fensters."},
    CStringEntry{AFX_IDS_SCMINIMIZE, "Verkleinert das Fenster zu einem Symbol."},
    CStringEntry{AFX_IDS_SCMAXIMIZE, "Vergrößert das Fenster zu voller Größe."},
    CStringEntry{AFX_IDS_SCNEXTWINDOW, "Wechselt zum nächsten Dokumentfenster."},
    CStringEntry{AFX_IDS_SCPREVWINDOW, "Wechselt zum vorherigen Dokumentfenster."},
    CStringEntry{AFX_IDS_SCCLOSE, "Schließt das aktive Fenster und fordert zur Dokumentspeicherung auf."},
    CStringEntry{AFX_IDS_SCRESTORE, "Stellt das Fenster in seiner normalen Größe wieder her."},
    CStringEntry{AFX_IDS_SCTASKLIST, "Aktiviert die Task-Liste."},
    CStringEntry{AFX_IDS_MDICHILD, "Aktiviert dieses Fenster."},
    CStringEntry{AFX_IDS_PREVIEW_CLOSE, "Beendet die Seitenansicht.\nSeitenansicht beenden"},
    CStringEntry{IDS_FILE_DEFEXT, "*.bmp"},
    CStringEntry{IDS_FILE_FILTER, "Windows Bitmap Dateien (*.bmp;*.dib)|*.bmp;*.dib|PNG-Bilder (*.png)|*.png|ZSoft PCX Dateien (*.pcx)|*.pcx|"},
};

constexpr bool IsSorted()
{
    for (size_t i = 1; i < STRINGS.size(); ++i)
        if (STRINGS[i - 1].nId >= STRINGS[i].nId)
            return false;
    return true;
}
static_assert(IsSorted(), "the string table must be sorted by id without duplicates");

const CStringEntry* Find(uint32_t nId)
{
    auto it = std::lower_bound(STRINGS.begin(), STRINGS.end(), nId,
                               [](const CStringEntry& e, uint32_t n) { return e.nId < n; });
    return (it != STRINGS.end() && it->nId == nId) ? &*it : nullptr;
}

} // namespace

std::string_view LoadResString(uint32_t nId)
{
    const CStringEntry* p = Find(nId);
    return p ? std::string_view(p->pszText) : std::string_view();
}

bool HasResString(uint32_t nId)
{
    return Find(nId) != nullptr;
}

std::string_view CommandPrompt(uint32_t nId)
{
    std::string_view str = LoadResString(nId);
    return str.substr(0, str.find('\n'));
}

std::string_view CommandTip(uint32_t nId)
{
    std::string_view str = LoadResString(nId);
    size_t n = str.find('\n');
    return n == std::string_view::npos ? std::string_view() : str.substr(n + 1);
}

std::vector<uint32_t> ResStringIds()
{
    std::vector<uint32_t> ids;
    for (const CStringEntry& e : STRINGS)
        ids.push_back(e.nId);
    return ids;
}

std::string DocStringField(std::string_view strDocString, DocStringIndex index)
{
    int nField = static_cast<int>(index);
    size_t nStart = 0;
    for (int i = 0; i < nField; ++i) {
        size_t n = strDocString.find('\n', nStart);
        if (n == std::string_view::npos)
            return {};
        nStart = n + 1;
    }
    size_t nEnd = strDocString.find('\n', nStart);
    return std::string(strDocString.substr(nStart, nEnd == std::string_view::npos ? std::string_view::npos : nEnd - nStart));
}

std::vector<std::pair<std::string, std::string>> SplitFilterList(std::string_view strFilters)
{
    std::vector<std::string> parts;
    size_t nStart = 0;
    while (nStart < strFilters.size()) {
        size_t n = strFilters.find('|', nStart);
        if (n == std::string_view::npos) {
            parts.emplace_back(strFilters.substr(nStart));
            break;
        }
        parts.emplace_back(strFilters.substr(nStart, n - nStart));
        nStart = n + 1;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty())
            break;  // "||" ends the list
        pairs.emplace_back(parts[i], parts[i + 1]);
    }
    return pairs;
}
