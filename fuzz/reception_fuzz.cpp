// The reception from arbitrary console bytes and exchange marks: packet loop over several
// attempts, verification and repair, joining, expansion and tile decoding.
//
// Input: one pair per exchange, the console's byte and a line condition:
//   condition < 0xC0        a clean byte
//   0xC0 .. 0xDF            marked 65..71 (long clock-high phase)
//   0xE0 .. 0xFE            cut at bit 1..7 on lost synchronisation (mark 129..135, flag bit 3)
//   0xFF                    the console falls silent until the next attempt
// After the input the line is silent for good.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "bitmap/CDib.h"
#include "link/CIOModul.h"
#include "reception/BlockRepair.h"
#include "reception/PacketEngine.h"
#include "reception/PictureAssembly.h"
#include "reception/ReceptionState.h"
#include "reception/TileDecoder.h"

namespace {

class CFuzzLink : public IPrinterLink {
public:
    CFuzzLink(const uint8_t* pData, size_t nSize) : m_pData(pData), m_nSize(nSize) {}

    uint8_t GetSetByteExtern(uint8_t, int32_t) override
    {
        m_nMark = 0;
        m_nStatus = MODUL_TIMEOUT;
        if (m_bSilent || m_nPos + 2 > m_nSize)
            return 0;
        const uint8_t nValue = m_pData[m_nPos];
        const uint8_t nCondition = m_pData[m_nPos + 1];
        m_nPos += 2;
        m_nStatus = 0;
        if (nCondition == 0xFF) {
            m_bSilent = true;
            m_nStatus = MODUL_TIMEOUT;
            return 0;
        }
        if (nCondition >= 0xE0) {
            m_nMark = MARK_SYNC_ERROR + 1 + (nCondition & 0x1F) % 7;
            m_nStatus = MODUL_SYNC_ERROR;
        } else if (nCondition >= 0xC0) {
            m_nMark = MARK_LONG_HIGH + 1 + (nCondition & 0x1F) % 7;
        }
        return nValue;
    }
    uint32_t GetModulStatus() const override { return m_nStatus; }
    int32_t GetLastMark() const override { return m_nMark; }
    void ResetExchangeState() override
    {
        m_nMark = 0;
        m_bSilent = false;
    }
    uint8_t GetLogHandle(const std::string&, const std::string&, int32_t) override { return 48; }

    bool Exhausted() const { return m_nPos + 2 > m_nSize; }

private:
    const uint8_t* m_pData;
    size_t m_nSize;
    size_t m_nPos = 0;
    uint32_t m_nStatus = 0;
    int32_t m_nMark = 0;
    bool m_bSilent = false;
};

// What the view does with the hand-over: a picture of whole bands, decoded.
void Decode(const CReceptionState& state, int32_t nCount)
{
    CDib dib;
    CreateReceivedPicture(state.m_PictureData, nCount, dib);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static auto pState = std::make_unique<CReceptionState>();
    std::memset(static_cast<void*>(pState.get()), 0, sizeof(CReceptionState));
    CFuzzLink link(pData, nSize);

    for (int nAttempt = 0; nAttempt < 4; ++nAttempt) {
        RegisterReceptionHandles(link);
        const bool bData = ReceivePackets(link, *pState);
        pState->m_nByteCount = 0;
        if (bData) {
            VerifyBlocks(*pState);
            AssemblePicture(*pState);
        }
        if (pState->m_nByteCount > pState->m_nMaxByteCount)
            pState->m_nMaxByteCount = pState->m_nByteCount;
        if (link.Exhausted())
            break;
    }
    if (pState->m_nByteCount < pState->m_nMaxByteCount)
        pState->m_nByteCount = pState->m_nMaxByteCount;
    Decode(*pState, pState->m_nByteCount);

    // The joined stream expanded whatever the headers said.
    AssembleStream(*pState);
    Decode(*pState, ExpandRle(*pState));
    return 0;
}
