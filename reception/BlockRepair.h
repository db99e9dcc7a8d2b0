#pragma once
// Checks every block against its expected sum and rebuilds bytes that the exchange cut short
// on a synchronisation error, then joins the blocks into one stream.
#include <cstdint>
#include <string>

struct CReceptionState;

// Runs the rebuild passes on blocks 0 .. m_nMaxBlockCount-1, marks the matching ones good
// and returns how many do not match.
int32_t VerifyBlocks(CReceptionState& state);

// Rebuild passes on one block (used by VerifyBlocks); true when it matches afterwards.
bool RepairBlock(CReceptionState& state, int32_t nBlock);

// The message asking for another print (UTF-8).
std::string BadBlockMessage(int32_t nBad, int32_t nBlocks);

// Joins the data bytes of blocks 0 .. m_nMaxBlockCount-1 into m_RawStream, sets m_nByteCount.
void AssembleStream(CReceptionState& state);
