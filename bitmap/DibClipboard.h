#pragma once
// One clipboard slot holding a device-independent bitmap in the CF_DIB layout: the 40-byte info
// header, the colour table, the pixel rows. The desktop program implements it on QClipboard;
// tests use a vector. The caller opens the clipboard before CDib's copy or paste and closes it
// afterwards in every case; CDib closes it itself after a successful copy or paste.
#include <cstdint>
#include <vector>

class IDibClipboard {
public:
    virtual ~IDibClipboard() = default;

    // The DIB bytes on the clipboard; false when it holds no DIB.
    virtual bool GetDib(std::vector<uint8_t>& bytes) = 0;
    // Empties the clipboard and puts the DIB bytes on it; the clipboard owns them from then on.
    virtual void EmptyAndSetDib(std::vector<uint8_t> bytes) = 0;
    // Closes the clipboard; closing it twice is harmless.
    virtual void Close() = 0;
};
