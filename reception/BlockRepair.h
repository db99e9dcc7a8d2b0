#pragma once
// Checks every block against its expected sum and rebuilds bytes that the exchange cut short
// on a synchronisation error, then joins the blocks into one stream.
#include <cstdint>
#include <string>

struct CReceptionState;

// Runs the rebuild passes on blocks 0 .. m_nMaxBlockCount-1 that a print refilled since they
// were last verified, records in each block's m_nHow how it became good (or why not),
// and returns how many are not good. Blocks that stayed bad are not rebuilt again. In strict
// mode (m_bStrict) a block is good only when two prints confirm every byte of it.
int32_t VerifyBlocks(CReceptionState& state);

// Rebuild passes on one block (used by VerifyBlocks): BLOCK_AS_RECEIVED, BLOCK_REBUILT or
// BLOCK_ESTIMATED when it matches afterwards, BLOCK_FAILED when it does not.
uint8_t RepairBlock(CReceptionState& state, int32_t nBlock);

// The message asking for another print (UTF-8).
std::string BadBlockMessage(int32_t nBad, int32_t nBlocks);

// Joins the data bytes of blocks 0 .. m_nMaxBlockCount-1 into m_RawStream, sets m_nByteCount.
void AssembleStream(CReceptionState& state);
