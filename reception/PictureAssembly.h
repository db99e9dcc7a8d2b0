#pragma once
// From the joined stream to the picture bytes the view takes over.
#include <cstdint>

struct CReceptionState;

// Expands the run-length compressed m_RawStream[0 .. m_nByteCount-1] into m_PictureData,
// adds one grey padding band, and returns the bytes written (at most 200000).
int32_t ExpandRle(CReceptionState& state);

// The end of an attempt that brought data: join, copy, expand when the compressed packet
// headers are the majority. Leaves the picture byte count in m_nByteCount.
void AssemblePicture(CReceptionState& state);

// What the block table's picture amounts to, after AssemblePicture.
struct CPictureShape {
    // Every compressed block expands to whole bands, and the picture has whole bands: a block
    // that brings less than a band, or a count of bands that is not whole, tells that data is
    // missing.
    bool bWholeBands = false;
    int32_t nDataBytes = 0;    // picture bytes, without the grey padding band
};
CPictureShape ShapeOfPicture(const CReceptionState& state);
