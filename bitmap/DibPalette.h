#pragma once
// The palette of a picture with a colour table: one entry per colour-table entry, made by
// CDib::MakePalette. Surfaces select it before they copy pixels (the Qt surface turns it into a
// QImage colour table).
#include <cstdint>
#include <vector>

struct CDibPaletteEntry {
    uint8_t red = 0, green = 0, blue = 0, flags = 0;
    friend bool operator==(const CDibPaletteEntry&, const CDibPaletteEntry&) = default;
};

class CDibPalette {
public:
    static constexpr uint16_t PALETTE_VERSION = 0x300;

    explicit CDibPalette(std::vector<CDibPaletteEntry> entries) : m_Entries(std::move(entries)) {}

    uint16_t GetVersion() const { return PALETTE_VERSION; }
    int32_t GetEntryCount() const { return static_cast<int32_t>(m_Entries.size()); }
    const CDibPaletteEntry& GetEntry(int32_t nIndex) const { return m_Entries[static_cast<size_t>(nIndex)]; }
    const std::vector<CDibPaletteEntry>& GetEntries() const { return m_Entries; }
    // 0xAARRGGBB with alpha 0xFF, as a QImage colour table wants it.
    uint32_t GetArgb(int32_t nIndex) const {
        const CDibPaletteEntry& e = GetEntry(nIndex);
        return 0xFF000000u | (uint32_t(e.red) << 16) | (uint32_t(e.green) << 8) | e.blue;
    }

private:
    std::vector<CDibPaletteEntry> m_Entries;
};
