#pragma once
// The clipboard slot for device-independent bitmaps, on QClipboard. A copy puts the DIB bytes
// under our own MIME type and, so that other programs can paste the picture, the same picture
// as a bitmap file (image/bmp) and as Qt image data. A paste takes our DIB first, otherwise any
// picture Qt can decode, as a 24-bit DIB.
#include <QByteArray>
#include <QImage>

#include <vector>

#include "bitmap/DibClipboard.h"

class QMimeData;

inline constexpr const char* DIB_MIME_TYPE = "application/x-quillomat-dib";

class CQtDibClipboard : public IDibClipboard {
public:
    bool GetDib(std::vector<uint8_t>& bytes) override;
    void EmptyAndSetDib(std::vector<uint8_t> bytes) override;
    void Close() override { m_bOpen = false; }

    bool IsOpen() const { return m_bOpen; }

    // True when the clipboard holds a picture that a paste can take.
    static bool HasPicture();
    static bool HasPicture(const QMimeData* pData);

private:
    bool m_bOpen = true;
};

// A 24-bit DIB (40-byte info header, bottom-up rows padded to 4 bytes) of an image; empty for a
// null image.
std::vector<uint8_t> ImageToDib24(const QImage& image);
// A bitmap file: the 14-byte file header in front of the DIB bytes; empty when the DIB is too
// short to hold an info header.
QByteArray DibToBmpFile(const std::vector<uint8_t>& dib);
// The picture of a mime data object as a DIB: ours as it is, else a decodable image as 24 bits.
bool MimeDataToDib(const QMimeData* pData, std::vector<uint8_t>& bytes);
