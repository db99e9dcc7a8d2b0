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

// The one place where a failed load or store gets the message the user sees.
CResult DibFailure(EErrorKind eKind) {
    switch (eKind) {
    case EErrorKind::ReadHeader: return CResult::Failure(eKind, DIB_MSG_READ_HEADER);
    case EErrorKind::Invalid: return CResult::Failure(eKind, DIB_MSG_INVALID);
    case EErrorKind::WriteFailed: return CResult::Failure(eKind, DIB_MSG_WRITE_ERROR);
    default: return CResult::Failure(EErrorKind::ReadFailed, DIB_MSG_READ_EXCEPTION);
    }
}

}  // namespace

CResult CDib::Read(std::istream& file) {
    Empty();
    try {
        uint8_t fileHeader[DIB_FILE_HEADER_SIZE];
        file.read(reinterpret_cast<char*>(fileHeader), sizeof fileHeader);
        if (file.bad())
            return DibFailure(EErrorKind::ReadFailed);
        if (file.gcount() < std::streamsize(sizeof fileHeader))
            return DibFailure(EErrorKind::ReadHeader);
        if (GetLe16(fileHeader) != 0x4D42)
            return DibFailure(EErrorKind::Invalid);
        const uint32_t nOffBits = GetLe32(fileHeader + 10);
        if (nOffBits < DIB_FILE_HEADER_SIZE + DIB_INFO_HEADER_SIZE)
            return DibFailure(EErrorKind::Invalid);
        const uint64_t nHeaderBlock = nOffBits - DIB_FILE_HEADER_SIZE;
        std::vector<uint8_t> header;
        if (!ReadUpTo(file, std::min(nHeaderBlock, MAX_HEADER_BLOCK), header))
            return DibFailure(EErrorKind::ReadFailed);
        CDibLayout layout;
        if (!ParseDibLayout(header.data(), header.size(), layout))
            return DibFailure(EErrorKind::Invalid);
        if (nHeaderBlock > header.size() && header.size() == MAX_HEADER_BLOCK)
            file.ignore(std::streamsize(nHeaderBlock - header.size()));
        const uint64_t nWanted = std::max<uint64_t>(layout.nRequiredBytes,
                                                    std::min<uint64_t>(layout.nDeclaredBytes, DibImageLimit()));
        if (file.bad())
            return DibFailure(EErrorKind::ReadFailed);
        const uint8_t* pColorTable = header.data() + layout.nColorTableOffset;
        if (!ReadPixelsInPlace(file, layout, pColorTable, nWanted, *this)) {
            std::vector<uint8_t> pixels;
            if (file.good() && !ReadUpTo(file, nWanted, pixels))
                return DibFailure(EErrorKind::ReadFailed);
            if (file.bad())
                return DibFailure(EErrorKind::ReadFailed);
            const uint32_t nBlockSize = ChoosePixelBlockSize(layout, pixels.size());
            CDibLoader::Take(*this, layout, pColorTable, pixels.data(), pixels.size(), nBlockSize);
        }
    } catch (const std::bad_alloc&) {
        Empty();
        return DibFailure(EErrorKind::ReadFailed);
    } catch (const std::ios_base::failure&) {
        Empty();
        return DibFailure(EErrorKind::ReadFailed);
    }
    CResult result = ComputeColorCount(GetBitCount());
    MakePalette();
    return result;
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

CResult CDib::Write(std::ostream& file) const {
    return WriteStream(*this, file) ? CResult::Success() : DibFailure(EErrorKind::WriteFailed);
}

CResult CDib::ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        Empty();
        return DibFailure(EErrorKind::ReadFailed);
    }
    return Read(file);
}

CResult CDib::WriteFile(const std::filesystem::path& target) const {
    if (IsEmpty())
        return DibFailure(EErrorKind::WriteFailed);
    uint8_t fileHeader[DIB_FILE_HEADER_SIZE];
    WriteHeaderBlock(fileHeader, GetHeaderSize(), GetImageSize());
    const auto bytes = [](const uint8_t* p, size_t n) { return std::string_view(reinterpret_cast<const char*>(p), n); };
    const bool bWritten = WriteFileAtomically(target, {bytes(fileHeader, sizeof fileHeader),
                                                       bytes(GetHeaderBlock(), GetHeaderSize()),
                                                       bytes(GetBits(), GetImageSize())});
    return bWritten ? CResult::Success() : DibFailure(EErrorKind::WriteFailed);
}
