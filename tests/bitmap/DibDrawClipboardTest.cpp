// Drawing onto a recorded surface, and the clipboard exchange with a short or lying buffer.
#include <gtest/gtest.h>

#include <cstring>

#include "BmpBytes.h"
#include "bitmap/CDib.h"
#include "bitmap/DibClipboard.h"
#include "bitmap/DibSurface.h"

namespace {

class CRecordingSurface : public IDibSurface {
public:
    bool m_bPrinting = false;
    int m_nDpiX = 96, m_nDpiY = 96;
    const CDibPalette* m_pSelected = nullptr;
    std::vector<const CDibPalette*> m_Selections;
    std::string m_strCall;
    CRect m_rcDest;
    CPoint m_ptSrc;
    CSize m_szSrc;

    bool IsPrinting() const override { return m_bPrinting; }
    int GetLogPixelsX() const override { return m_nDpiX; }
    int GetLogPixelsY() const override { return m_nDpiY; }
    const CDibPalette* SelectPalette(const CDibPalette* p) override {
        m_Selections.push_back(p);
        return std::exchange(m_pSelected, p);
    }
    int SetDIBitsToDevice(CRect rc, CPoint pt, const CDib&) override {
        m_strCall = "copy";
        m_rcDest = rc;
        m_ptSrc = pt;
        return rc.Height();
    }
    int StretchDIBits(CRect rc, CPoint pt, CSize sz, const CDib& dib) override {
        m_strCall = "stretch";
        m_rcDest = rc;
        m_ptSrc = pt;
        m_szSrc = sz;
        return dib.GetDimensions().cy;
    }
};

TEST(DibDraw, EmptyPictureDrawsNothing) {
    CDib dib;
    CRecordingSurface surface;
    EXPECT_EQ(dib.Draw(surface, {0, 0, 10, 10}, {0, 0}), 0);
    EXPECT_EQ(surface.m_strCall, "");
}

TEST(DibDraw, ExactSizeCopiesAndAnyOtherSizeStretches) {
    CDib dib;
    ASSERT_TRUE(dib.Create(160, 144));
    struct {
        CRect rc;
        const char* pszCall;
    } cases[] = {
        {{0, 0, 160, 144}, "copy"}, {{10, 20, 170, 164}, "copy"}, {{0, 0, 161, 144}, "stretch"},
        {{0, 0, 160, 145}, "stretch"}, {{0, 0, 80, 72}, "stretch"},
    };
    for (const auto& c : cases) {
        CRecordingSurface surface;
        EXPECT_EQ(dib.Draw(surface, c.rc, {0, 0}), 144);
        EXPECT_EQ(surface.m_strCall, c.pszCall);
        EXPECT_EQ(surface.m_rcDest, c.rc);
        if (surface.m_strCall == "stretch") {
            EXPECT_EQ(surface.m_szSrc, (CSize{160, 144}));
        }
        EXPECT_TRUE(surface.m_Selections.empty());  // 24 bits: no palette to select
    }
}

TEST(DibDraw, PrinterPlacesAndScalesThePicture) {
    CDib dib;
    ASSERT_TRUE(dib.Create(160, 144));
    struct {
        int nDpiX, nDpiY;
        CRect rc;
        const char* pszCall;
    } cases[] = {
        {300, 300, {200, 200, 893, 824}, "stretch"},
        {600, 600, {200, 200, 546, 512}, "stretch"},
        {1300, 1300, {200, 200, 360, 344}, "copy"},
        {360, 180, {200, 200, 777, 1240}, "stretch"},
    };
    for (const auto& c : cases) {
        CRecordingSurface surface;
        surface.m_bPrinting = true;
        surface.m_nDpiX = c.nDpiX;
        surface.m_nDpiY = c.nDpiY;
        dib.Draw(surface, {0, 0, 160, 144}, {0, 0});
        EXPECT_EQ(surface.m_rcDest, c.rc) << c.nDpiX;
        EXPECT_EQ(surface.m_strCall, c.pszCall);
    }
    CRecordingSurface broken;
    broken.m_bPrinting = true;
    broken.m_nDpiX = 0;
    EXPECT_EQ(dib.Draw(broken, {0, 0, 160, 144}, {0, 0}), 0);
}

TEST(DibDraw, PaletteIsSelectedAndTheOldOneSelectedBack) {
    CDib dib;
    ASSERT_TRUE(ReadFromString(dib, MakeBmpFile({.nWidth = 4, .nHeight = 4, .nBitCount = 8, .nColorEntries = 256})).Ok());
    ASSERT_NE(dib.GetPalette(), nullptr);
    CRecordingSurface surface;
    const CDibPalette previous({});
    surface.m_pSelected = &previous;
    EXPECT_EQ(dib.Draw(surface, {0, 0, 4, 4}, {0, 0}), 4);
    ASSERT_EQ(surface.m_Selections.size(), 2u);
    EXPECT_EQ(surface.m_Selections[0], dib.GetPalette());
    EXPECT_EQ(surface.m_Selections[1], &previous);
}

class CVectorClipboard : public IDibClipboard {
public:
    bool m_bHasDib = false;
    std::vector<uint8_t> m_Bytes;
    int m_nCloses = 0;
    bool GetDib(std::vector<uint8_t>& bytes) override {
        if (m_bHasDib)
            bytes = m_Bytes;
        return m_bHasDib;
    }
    void EmptyAndSetDib(std::vector<uint8_t> bytes) override {
        m_Bytes = std::move(bytes);
        m_bHasDib = true;
    }
    void Close() override { ++m_nCloses; }
};

TEST(DibClipboard, EightBitRoundTrip) {
    CDib dib;
    ASSERT_TRUE(ReadFromString(dib, MakeBmpFile({.nWidth = 7, .nHeight = 3, .nBitCount = 8, .nColorEntries = 256})).Ok());
    CVectorClipboard clip;
    ASSERT_TRUE(dib.CopyToClipboard(clip).Ok());
    EXPECT_EQ(clip.m_nCloses, 1);
    ASSERT_EQ(clip.m_Bytes.size(), 40u + 1024u + 24u);

    CDib back;
    ASSERT_TRUE(back.Create(3, 3));
    ASSERT_TRUE(back.PasteFromClipboard(clip).Ok());
    EXPECT_EQ(clip.m_nCloses, 2);
    ASSERT_EQ(back.GetHeaderSize(), dib.GetHeaderSize());
    EXPECT_EQ(0, std::memcmp(back.GetHeaderBlock(), dib.GetHeaderBlock(), dib.GetHeaderSize()));
    ASSERT_EQ(back.GetImageSize(), dib.GetImageSize());
    EXPECT_EQ(0, std::memcmp(back.GetBits(), dib.GetBits(), dib.GetImageSize()));
    ASSERT_NE(back.GetPalette(), nullptr);
    EXPECT_EQ(back.GetPalette()->GetEntries(), dib.GetPalette()->GetEntries());
    EXPECT_EQ(back.GetPalette()->GetEntryCount(), 256);
}

TEST(DibClipboard, CopyOfEmptyPictureFailsAndLeavesClipboardOpen) {
    CDib dib;
    CVectorClipboard clip;
    EXPECT_FALSE(dib.CopyToClipboard(clip).Ok());
    EXPECT_FALSE(clip.m_bHasDib);
    EXPECT_EQ(clip.m_nCloses, 0);
}

TEST(DibClipboard, PasteOfNothingOrBadDataKeepsThePicture) {
    const std::vector<uint8_t> good = MakeDib({.nWidth = 4, .nHeight = 2, .nBitCount = 8, .nColorEntries = 256});
    auto patched = [&](size_t at, uint32_t n) {
        std::vector<uint8_t> v = good;
        Put32(v, at, n);
        return v;
    };
    struct {
        const char* pszName;
        bool bHasDib;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"NoDib", false, {}},
        {"Empty", true, {}},
        {"ShortHeader", true, std::vector<uint8_t>(good.begin(), good.begin() + 39)},
        {"TableCut", true, std::vector<uint8_t>(good.begin(), good.begin() + 40 + 1000)},
        {"PixelsCut", true, std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"LyingClrUsed", true, patched(32, 100000)},
        {"LyingWidth", true, patched(4, 5000)},
        {"LyingInfoSize", true, patched(0, 100000)},
        {"Compressed", true, patched(16, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        CDib dib;
        ASSERT_TRUE(dib.Create(3, 3));
        dib.SetPixel({1, 1}, 0x123456);
        CVectorClipboard clip;
        clip.m_bHasDib = c.bHasDib;
        clip.m_Bytes = c.bytes;
        const CResult pasted = dib.PasteFromClipboard(clip);
        EXPECT_FALSE(pasted.Ok());
        EXPECT_EQ(clip.m_nCloses, 0);
        EXPECT_EQ(dib.GetDimensions(), (CSize{3, 3}));
        EXPECT_EQ(dib.GetPixel({1, 1}), 0x123456u);
        EXPECT_FALSE(pasted.HasMessage());  // the view has its own words for it
    }
}

TEST(DibClipboard, PasteTakesLongerHeadersTopDownAndOtherDepths) {
    {
        CDib dib;
        CVectorClipboard clip;
        clip.EmptyAndSetDib(MakeDib({.nInfoSize = 124, .nWidth = 2, .nHeight = -2}));
        ASSERT_TRUE(dib.PasteFromClipboard(clip).Ok());
        EXPECT_EQ(dib.GetDimensions(), (CSize{2, 2}));
        EXPECT_EQ(dib.GetPixel({0, 0}), 0x020100u);  // the first row given is the top row
        EXPECT_EQ(dib.GetHeaderSize(), 40u);
    }
    {
        CDib dib;
        CVectorClipboard clip;
        clip.EmptyAndSetDib(MakeDib({.nWidth = 2, .nHeight = 2, .nBitCount = 32}));
        const CResult pasted = dib.PasteFromClipboard(clip);
        ASSERT_TRUE(pasted.Ok());
        EXPECT_EQ(pasted.m_strMessage, DIB_MSG_DEPTH);
        EXPECT_EQ(dib.GetBitCount(), 32);
    }
}

}  // namespace
