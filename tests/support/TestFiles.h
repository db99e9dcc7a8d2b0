#pragma once
// Files for the suites: a private scratch folder that goes away with everything in it, and
// whole files read and written as byte strings.
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class CScratchFolder {
public:
    // A new, empty folder under the system's temporary folder, named after strPrefix.
    explicit CScratchFolder(const std::string& strPrefix = "quillomat")
    {
        std::string strTemplate = (std::filesystem::temp_directory_path() / (strPrefix + "-XXXXXX")).string();
        if (char* pszDir = ::mkdtemp(strTemplate.data()))
            m_Path = pszDir;
    }
    ~CScratchFolder()
    {
        if (m_Path.empty())
            return;
        // A test may have taken away the right to write to the folder.
        std::error_code ec;
        std::filesystem::permissions(m_Path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_Path, ec);
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_Path; }
    operator const std::filesystem::path&() const { return m_Path; }
    std::filesystem::path operator/(const std::string& strName) const { return m_Path / strName; }

    // The names in the folder, sorted: what a test left there, and nothing else.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(m_Path, ec))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path m_Path;
};

inline std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The non-empty lines of a text file, a CR before the line end taken off (a reference picture's
// rows, a session's replies).
inline std::vector<std::string> ReadRows(const std::filesystem::path& path)
{
    std::vector<std::string> rows;
    std::ifstream in(path);
    for (std::string strLine; std::getline(in, strLine);) {
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        if (!strLine.empty())
            rows.push_back(strLine);
    }
    return rows;
}
