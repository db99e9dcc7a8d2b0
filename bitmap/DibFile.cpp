// Loading and storing a picture as a Windows bitmap file.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <istream>
#include <new>
#include <ostream>
#include <string_view>

#include "bitmap/CDib.h"
#include "bitmap/DibLayout.h"
#include "bitmap/LittleEndian.h"
#include "common/AtomicFile.h"
#include "common/MessageSink.h"

namespace {

// Header blocks larger than this are read only this far; the rest is skipped. It holds any
// real info header with a full colour table many times over.
constexpr uint64_t MAX_HEADER_BLOCK = 16u * 1024u * 1024u;
constexpr size_t READ_CHUNK = 64u * 1024u;

// Reads up to nWanted bytes, growing the buffer only as data arrives, so a size claimed by the
// file allocates nothing that the file does not really hold.
bool ReadUpTo(std::istream& file, uint64_t nWanted, std::vector<uint8_t>& out) {
    out.clear();
    while (out.size() < nWanted) {
        const size_t nChunk = size_t(std::min<uint64_t>(READ_CHUNK, nWanted - out.size()));
        const size_t nOld = out.size();
        out.resize(nOld + nChunk);
        file.read(reinterpret_cast<char*>(out.data() + nOld), std::streamsize(nChunk));
        const size_t nGot = size_t(file.gcount());
        out.resize(nOld + nGot);
        if (file.bad())
            return false;
        if (nGot < nChunk)
            break;  // end of the file: short reads are not an error
    }
    return true;
}

// The bytes from the stream's position to its end, or -1 when the stream cannot tell.
int64_t RemainingBytes(std::istream& file) {
    const std::istream::pos_type pos = file.tellg();
    if (pos == std::istream::pos_type(-1))
        return -1;
    file.seekg(0, std::ios::end);
    const std::istream::pos_type end = file.fail() ? std::istream::pos_type(-1) : file.tellg();
    file.clear(file.rdstate() & ~(std::ios::failbit | std::ios::eofbit));
    file.seekg(pos);
    if (end == std::istream::pos_type(-1) || !file.good() || end < pos)
        return -1;
    return int64_t(end - pos);
}

// A stream that knows its length (a file) gets its pixels read in one piece straight into the
// picture's own block: a large picture is neither copied nor grown chunk by chunk. False when
// the stream cannot tell its length (nothing read then).
bool ReadPixelsInPlace(std::istream& file, CDibLayout& layout, const uint8_t* pColorTable, uint64_t nWanted,
                       CDib& dib) {
    const int64_t nRemaining = file.good() ? RemainingBytes(file) : -1;
    if (nRemaining < 0)
        return false;
    const uint64_t nToRead = std::min<uint64_t>(nWanted, uint64_t(nRemaining));
    // The block as the bytes present decide it; a short read later only leaves zeros behind.
    CDibLayout sized = layout;
    const uint32_t nBlockSize = ChoosePixelBlockSize(sized, nToRead);
    auto pBits = std::make_unique_for_overwrite<uint8_t[]>(nBlockSize);
    file.read(reinterpret_cast<char*>(pBits.get()), std::streamsize(std::min<uint64_t>(nToRead, nBlockSize)));
    if (file.bad())
        throw std::ios_base::failure("read");
    const size_t nGot = size_t(file.gcount());
    std::memset(pBits.get() + nGot, 0, nBlockSize - nGot);
    // The size that would be chosen for what really arrived; never more than the block.
    const uint32_t nUsed = ChoosePixelBlockSize(layout, nGot);
    CDibLoader::Adopt(dib, layout, pColorTable, std::move(pBits), nUsed);
    return true;
}

void WriteHeaderBlock(uint8_t* pFileHeader, uint32_t nHeaderSize, uint32_t nImageSize) {
    PutLe16(pFileHeader + 0, 0x4D42);
    PutLe32(pFileHeader + 2, DIB_FILE_HEADER_SIZE + nHeaderSize + nImageSize);
    PutLe16(pFileHeader + 6, 0);
    PutLe16(pFileHeader + 8, 0);
    PutLe32(pFileHeader + 10, DIB_FILE_HEADER_SIZE + nHeaderSize);
}

// The one place where a failed load or store becomes the message the user sees.
bool ReportDibError(DibError eError) {
    if (const char* pszMessage = DibErrorMessage(eError)) {
        ShowMessage(pszMessage);
        return false;
    }
    return true;
}

}  // namespace

const char* DibErrorMessage(DibError eError) {
    switch (eError) {
    case DibError::None: return nullptr;
    case DibError::ReadHeader: return DIB_MSG_READ_HEADER;
    case DibError::Invalid: return DIB_MSG_INVALID;
    case DibError::ReadException: return DIB_MSG_READ_EXCEPTION;
    case DibError::WriteError: return DIB_MSG_WRITE_ERROR;
    }
    return DIB_MSG_READ_EXCEPTION;
}

DibError CDib::Load(std::istream& file) {
    Empty();
    try {
        uint8_t fileHeader[DIB_FILE_HEADER_SIZE];
        file.read(reinterpret_cast<char*>(fileHeader), sizeof fileHeader);
        if (file.bad())
            return DibError::ReadException;
        if (file.gcount() < std::streamsize(sizeof fileHeader))
            return DibError::ReadHeader;
        if (GetLe16(fileHeader) != 0x4D42)
            return DibError::Invalid;
        const uint32_t nOffBits = GetLe32(fileHeader + 10);
        if (nOffBits < DIB_FILE_HEADER_SIZE + DIB_INFO_HEADER_SIZE)
            return DibError::Invalid;
        const uint64_t nHeaderBlock = nOffBits - DIB_FILE_HEADER_SIZE;
        std::vector<uint8_t> header;
        if (!ReadUpTo(file, std::min(nHeaderBlock, MAX_HEADER_BLOCK), header))
            return DibError::ReadException;
        CDibLayout layout;
        if (!ParseDibLayout(header.data(), header.size(), layout))
            return DibError::Invalid;
        if (nHeaderBlock > header.size() && header.size() == MAX_HEADER_BLOCK)
            file.ignore(std::streamsize(nHeaderBlock - header.size()));
        const uint64_t nWanted = std::max<uint64_t>(layout.nRequiredBytes,
                                                    std::min<uint64_t>(layout.nDeclaredBytes, DibImageLimit()));
        if (file.bad())
            return DibError::ReadException;
        const uint8_t* pColorTable = header.data() + layout.nColorTableOffset;
        if (!ReadPixelsInPlace(file, layout, pColorTable, nWanted, *this)) {
            std::vector<uint8_t> pixels;
            if (file.good() && !ReadUpTo(file, nWanted, pixels))
                return DibError::ReadException;
            if (file.bad())
                return DibError::ReadException;
            const uint32_t nBlockSize = ChoosePixelBlockSize(layout, pixels.size());
            CDibLoader::Take(*this, layout, pColorTable, pixels.data(), pixels.size(), nBlockSize);
        }
    } catch (const std::bad_alloc&) {
        Empty();
        return DibError::ReadException;
    } catch (const std::ios_base::failure&) {
        Empty();
        return DibError::ReadException;
    }
    ComputeColorCount(GetBitCount());
    MakePalette();
    return DibError::None;
}

bool CDib::Read(std::istream& file) {
    return ReportDibError(Load(file));
}

namespace {

bool WriteStream(const CDib& dib, std::ostream& file) {
    if (dib.IsEmpty())
        return false;
    uint8_t fileHeader[DIB_FILE_HEADER_SIZE];
    WriteHeaderBlock(fileHeader, dib.GetHeaderSize(), dib.GetImageSize());
    try {
        file.write(reinterpret_cast<const char*>(fileHeader), sizeof fileHeader);
        file.write(reinterpret_cast<const char*>(dib.GetHeaderBlock()), std::streamsize(dib.GetHeaderSize()));
        file.write(reinterpret_cast<const char*>(dib.GetBits()), std::streamsize(dib.GetImageSize()));
        file.flush();
    } catch (const std::ios_base::failure&) {
        return false;
    }
    return bool(file);
}

}  // namespace

DibError CDib::Store(std::ostream& file) const {
    return WriteStream(*this, file) ? DibError::None : DibError::WriteError;
}

bool CDib::Write(std::ostream& file) const {
    return ReportDibError(Store(file));
}

DibError CDib::LoadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        Empty();
        return DibError::ReadException;
    }
    return Load(file);
}

bool CDib::ReadFile(const std::filesystem::path& path) {
    return ReportDibError(LoadFile(path));
}

DibError CDib::StoreFile(const std::filesystem::path& target) const {
    if (IsEmpty())
        return DibError::WriteError;
    uint8_t fileHeader[DIB_FILE_HEADER_SIZE];
    WriteHeaderBlock(fileHeader, GetHeaderSize(), GetImageSize());
    const auto bytes = [](const uint8_t* p, size_t n) { return std::string_view(reinterpret_cast<const char*>(p), n); };
    const bool bWritten = WriteFileAtomically(target, {bytes(fileHeader, sizeof fileHeader),
                                                       bytes(GetHeaderBlock(), GetHeaderSize()),
                                                       bytes(GetBits(), GetImageSize())});
    return bWritten ? DibError::None : DibError::WriteError;
}

bool CDib::WriteFile(const std::filesystem::path& target) const {
    return ReportDibError(StoreFile(target));
}
