#pragma once
// Strict mode: a block is taken only when two prints agree on every byte of it. A 16-bit sum
// cannot see two flipped bits that cancel, nor bits that a missed clock moved between
// neighbouring bytes; two prints with the same damage in the same place do not happen.
#include <cstdint>

struct CReceptionState;

// Keeps the block's bytes as they came off the line (marks included) as its newest copy; the
// oldest copy is dropped when all places are taken. Of a block whose packet timed out only the
// bytes before the silence count, and its checksum is none.
void KeepBlockCopy(CReceptionState& state, int32_t nBlock);

// Tries to confirm the block from its copies: the length and sum of two copies agree, every
// byte has one value that at least two copies show on clean line (no mark within two bytes of
// it) and more copies than any other value, and those bytes add up to the sum. A few bytes the
// copies leave undecided are settled by the sum when exactly one choice among the values the
// copies show there makes it. On success the block holds the confirmed bytes (without marks)
// and true is returned.
bool ConfirmBlock(CReceptionState& state, int32_t nBlock);
