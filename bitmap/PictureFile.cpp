#include "bitmap/PictureFile.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "bitmap/CDib.h"
#include "bitmap/DibPng.h"
#include "common/AtomicFile.h"

bool IsPngFileName(const std::filesystem::path& path)
{
    const std::string strExtension = path.extension().string();
    if (strExtension.size() != 4)
        return false;
    std::string strLower;
    for (char ch : strExtension)
        strLower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return strLower == ".png";
}

CResult ReadPictureFile(CDib& dib, const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        dib.Empty();
        return CResult::Failure(EErrorKind::ReadFailed, DIB_MSG_READ_EXCEPTION);
    }
    char signature[8] = {};
    file.read(signature, sizeof signature);
    if (!IsPngSignature(reinterpret_cast<const uint8_t*>(signature), size_t(file.gcount()))) {
        file.clear();
        file.seekg(0);
        return dib.Read(file);
    }
    std::vector<uint8_t> bytes;
    try {
        file.seekg(0);
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    } catch (const std::bad_alloc&) {
        dib.Empty();
        return CResult::Failure(EErrorKind::ReadFailed, DIB_MSG_READ_EXCEPTION);
    }
    if (file.bad()) {
        dib.Empty();
        return CResult::Failure(EErrorKind::ReadFailed, DIB_MSG_READ_EXCEPTION);
    }
    return ReadPng(dib, bytes.data(), bytes.size());
}

CResult WritePictureFile(const CDib& dib, const std::filesystem::path& path)
{
    if (!IsPngFileName(path))
        return dib.WriteFile(path);
    std::string bytes;
    if (CResult result = EncodePng(dib, bytes); !result.Ok())
        return result;
    if (!WriteFileAtomically(path, {bytes}))
        return CResult::Failure(EErrorKind::WriteFailed, DIB_MSG_WRITE_ERROR);
    return CResult::Success();
}
