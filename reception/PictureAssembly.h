#pragma once
// From the joined stream to the picture bytes the view takes over.
#include <cstdint>

struct CReceptionState;

// Expands the runs of pIn[0 .. nIn-1] into pOut and returns the bytes written, at most nOutMax
// (the rest is dropped; pOut null only counts). A run cut short by the end of the input ends there.
int32_t ExpandRuns(const uint8_t* pIn, int32_t nIn, uint8_t* pOut, int32_t nOutMax);

// Expands the run-length compressed m_RawStream[0 .. m_nByteCount-1] into m_PictureData,
// adds one grey padding band, and returns the bytes written (at most 200000).
int32_t ExpandRle(CReceptionState& state);

// The end of an attempt that brought data: join, copy, expand when the compressed packet
// headers are the majority. Leaves the picture byte count in m_nByteCount.
void AssemblePicture(CReceptionState& state);
