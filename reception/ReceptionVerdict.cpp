#include "reception/ReceptionVerdict.h"

#include <cstdio>

namespace {

std::string Count(int32_t nCount, const char* pOne, const char* pMany)
{
    return std::to_string(nCount) + " " + (nCount == 1 ? pOne : pMany);
}

std::string Headline(const CReceptionVerdict& verdict)
{
    switch (verdict.Outcome()) {
    case EReceptionOutcome::Complete:
        return "Bild exakt";
    case EReceptionOutcome::CompleteEstimated: {
        std::string strText = "Bild nicht gesichert: ";
        if (verdict.nEstimated > 0)
            strText += Count(verdict.nEstimated, "Block geschätzt", "Blöcke geschätzt");
        if (verdict.nEstimated > 0 && verdict.nSumOnly > 0)
            strText += ", ";
        if (verdict.nSumOnly > 0)
            strText += Count(verdict.nSumOnly, "Block unbestätigt", "Blöcke unbestätigt");
        return strText;
    }
    case EReceptionOutcome::NotWholePicture:
        return "Nicht das ganze Bild";
    case EReceptionOutcome::NotComplete:
        break;
    }
    if (verdict.nBlocks == 0)
        return "Kein Ausdruck";
    if (verdict.nBad > 0)
        return "Bild unvollständig: " + Count(verdict.nBad, "Block fehlerhaft", "Blöcke fehlerhaft");
    if (verdict.IsComplete())
        return "Bild abgeschnitten";
    return "Bild unvollständig";
}

std::string NotWholeReasons(const CReceptionVerdict& verdict)
{
    if (verdict.nNotWhole == 0)
        return {};
    std::string strText = "nicht das ganze Bild";
    const char* pSeparator = ": ";
    if (verdict.nNotWhole & NOT_WHOLE_GOES_ON) {
        strText += pSeparator;
        strText += "der letzte Ausdruck hat keinen unteren Rand, das Bild geht im nächsten Ausdruck weiter";
        pSeparator = "; ";
    }
    if (verdict.nNotWhole & NOT_WHOLE_PALETTE) {
        char szPalette[8];
        std::snprintf(szPalette, sizeof szPalette, "%02X", verdict.nPalette);
        strText += pSeparator;
        strText += std::string("die Palette ") + szPalette +
                   " des Ausdrucks ist nicht angewandt, das Bild zeigt die Farbnummern";
        pSeparator = "; ";
    }
    if (verdict.nNotWhole & NOT_WHOLE_TOO_LONG) {
        strText += pSeparator;
        strText += "mehr Daten, als die Blocktabelle fasst, das Bild ist abgeschnitten";
    }
    if (verdict.nNotWhole & (NOT_WHOLE_GOES_ON | NOT_WHOLE_PALETTE))
        strText += " (das ganze Bild: „Alle Ausdrucke einer Serie in ein Bild übernehmen“, --all-prints)";
    return strText;
}

}  // namespace

CVerdictWords DescribeVerdict(const CReceptionVerdict& verdict, bool bLastPass)
{
    CVerdictWords words;
    words.strHeadline = Headline(verdict);
    if (verdict.bSeries) {
        words.strBlocks = std::to_string(verdict.nPrints) + " Ausdrucke, " + std::to_string(verdict.nBlocks) +
                          " Blöcke: " + std::to_string(verdict.nBad) + " fehlerhaft, " +
                          std::to_string(verdict.nEstimated) + " geschätzt" +
                          (verdict.nUnchecked > 0 ? ", " + std::to_string(verdict.nUnchecked) + " ungeprüft" : "") +
                          "; " + (verdict.IsComplete() ? "Serie vollständig" : "Serie unvollständig");
    } else {
        const char* pEnd = bLastPass               ? "im letzten Durchgang"
                           : verdict.nBlocks == 0  ? "kein Ausdruck"
                           : !verdict.bWhole       ? "Ausdruck unvollständig"
                           : verdict.nNotWhole != 0 ? "Ausdruck angekommen, aber nicht das ganze Bild"
                                                    : "Ausdruck vollständig";
        words.strBlocks = Count(verdict.nBlocks, "Block", "Blöcke") + " gelesen: " + std::to_string(verdict.nAsReceived) +
                          " wie empfangen, " + std::to_string(verdict.nRebuilt) + " repariert, " +
                          std::to_string(verdict.nConfirmed) + " durch zwei Ausdrucke bestätigt, " +
                          std::to_string(verdict.nEstimated) + " geschätzt, " + std::to_string(verdict.nBad) +
                          " fehlerhaft; " + pEnd;
    }
    if (verdict.nSumOnly > 0)
        words.strSumOnly = Count(verdict.nSumOnly, "guter Block kam", "gute Blöcke kamen") + " nur einmal, und nur " +
                           (verdict.nSumOnly == 1 ? "seine eigene Prüfsumme bürgt für ihn"
                                                  : "ihre eigene Prüfsumme bürgt für sie") +
                           ", auf einer Leitung, die Pakete unbemerkt beschädigt hat (--strict bestätigt jeden Block "
                           "mit einem zweiten Ausdruck)";
    if (verdict.nUnchecked > 0)
        words.strUnchecked = Count(verdict.nUnchecked, "Block", "Blöcke") +
                             " ungeprüft: das Format des Geräts trägt keine Prüfsumme, das Bild kann vom "
                             "Ausdruck der Konsole abweichen";
    words.strNotWhole = NotWholeReasons(verdict);
    return words;
}

std::string VerdictStatusLine(const CReceptionVerdict& verdict)
{
    const CVerdictWords words = DescribeVerdict(verdict);
    std::string strLine = "Empfangen: " + words.strHeadline + " (" +
                          (verdict.bSeries ? std::to_string(verdict.nPrints) + " Ausdrucke, " : std::string()) +
                          std::to_string(verdict.nBlocks) + " Blöcke)";
    if (!words.strNotWhole.empty())
        strLine += " – " + words.strNotWhole;
    return strLine;
}
