// The console's compressor against the receiver's expansion rule.

#include "console/ConsolePicture.h"
#include "protocol/RunLength.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// The receiver's expansion, byte by byte: remaining 0 means the next byte is a control byte,
// -1 that it is the byte of a repeat run.
std::vector<uint8_t> ReceiverExpand(const std::vector<uint8_t>& in)
{
    std::vector<uint8_t> out;
    int nRemaining = 0;
    int nControl = 0;
    for (uint8_t b : in) {
        if (nRemaining > 1) {
            out.push_back(b);
            --nRemaining;
        }
        if (nRemaining == -1) {
            out.insert(out.end(), (nControl & 0x7F) + 2, b);
            nRemaining = -2;
        }
        if (nRemaining == 0) {
            nControl = b;
            nRemaining = b < 0x80 ? b + 2 : -1;
        }
        if (nRemaining == -2 || nRemaining == 1)
            nRemaining = 0;
    }
    return out;
}

std::vector<uint8_t> Repeat(size_t n, uint8_t b) { return std::vector<uint8_t>(n, b); }

std::vector<uint8_t> Counting(size_t n)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<uint8_t>(i * 37 + 1);
    return v;
}

TEST(RunLength, CompressedDataExpandsBackExactlyByTheReceiversRules)
{
    std::mt19937 random(7);
    std::vector<std::vector<uint8_t>> inputs = {
        {}, {0x42}, Repeat(2, 0), Repeat(3, 0xFF), Repeat(129, 0x55), Repeat(130, 0x55), Repeat(131, 0x55),
        Repeat(640, 0x00), Counting(127), Counting(128), Counting(129), Counting(640),
        {1, 1, 2, 3, 3, 3, 4}, {9, 8, 8}};
    std::vector<uint8_t> sparse(640);
    for (auto& b : sparse)
        b = random() % 8 == 0 ? static_cast<uint8_t>(random()) : 0;
    inputs.push_back(sparse);
    const std::vector<uint8_t> card = BuildTestCard();
    for (size_t n = 0; n < card.size(); n += 640)
        inputs.emplace_back(card.begin() + n, card.begin() + n + 640);

    for (const auto& input : inputs) {
        const std::vector<uint8_t> packed = CompressRuns(input);
        EXPECT_EQ(ReceiverExpand(packed), input) << "input of " << input.size() << " bytes";
        EXPECT_EQ(ExpandRuns(packed), input);
        // Every run is complete: no control byte at the end without its bytes.
        for (size_t i = 0; i < packed.size();) {
            const size_t nRun = packed[i] < 0x80 ? packed[i] + 2u : 2u;
            ASSERT_LE(i + nRun, packed.size());
            i += nRun;
        }
    }
}

TEST(RunLength, RepeatsBecomeRunsAndTheCardShrinks)
{
    EXPECT_EQ(CompressRuns(Repeat(129, 0x55)), (std::vector<uint8_t>{0xFF, 0x55}));
    EXPECT_EQ(CompressRuns(Repeat(130, 0x55)), (std::vector<uint8_t>{0xFF, 0x55, 0x00, 0x55}));
    EXPECT_EQ(CompressRuns(std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44, 0x44, 0x44}),
              (std::vector<uint8_t>{0x02, 0x11, 0x22, 0x33, 0x81, 0x44}));
    const std::vector<uint8_t> card = BuildTestCard();
    EXPECT_LT(CompressRuns(card).size(), card.size());
}

TEST(RunLength, ExpansionOfACutStreamStopsAtItsEnd)
{
    EXPECT_EQ(ExpandRuns(std::vector<uint8_t>{0x05, 0x01, 0x02}), (std::vector<uint8_t>{0x01, 0x02}));
    EXPECT_EQ(ExpandRuns(std::vector<uint8_t>{0x83}), std::vector<uint8_t>{});
}

} // namespace
