// Replacing a file through a temporary beside it: where the bytes land, with which permissions,
// and that a failure leaves the old file and nothing else.
#include "common/AtomicFile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <map>

namespace {

namespace fs = std::filesystem;

constexpr int kNewFileMode = -1;  // 0666 less the umask

struct CReplaceCase {
    const char* pszName;
    void (*fnPrepare)(const CScratchFolder& folder);
    const char* pszTarget;              // the name the caller passes
    const char* pszLandsIn;             // the file that gets the new bytes; null: the call fails
    int nMode;                          // its permissions afterwards
    std::vector<std::string> names;     // the folder afterwards: no temporary anywhere
    bool bNeedsNonRoot = false;         // permissions do not stop root
};

void WriteOld(const fs::path& path, fs::perms mode)
{
    WriteBytes(path, "old");
    fs::permissions(path, mode);
}

const CReplaceCase kCases[] = {
    {"NewFile", [](const CScratchFolder&) {}, "neu.bin", "neu.bin", kNewFileMode, {"neu.bin"}},
    {"ExistingFileKeepsItsMode", [](const CScratchFolder& f) { WriteOld(f / "alt.bin", fs::perms(0640)); },
     "alt.bin", "alt.bin", 0640, {"alt.bin"}},
    {"LinkIsFollowedAndStays",
     [](const CScratchFolder& f) {
         WriteOld(f / "echt.bin", fs::perms(0600));
         fs::create_symlink("echt.bin", f / "verweis.bin");
     },
     "verweis.bin", "echt.bin", 0600, {"echt.bin", "verweis.bin"}},
    {"LinkToNoFileMakesThatFile", [](const CScratchFolder& f) { fs::create_symlink("neu.bin", f / "verweis.bin"); },
     "verweis.bin", "neu.bin", kNewFileMode, {"neu.bin", "verweis.bin"}},
    {"LinkLoopFails",
     [](const CScratchFolder& f) {
         fs::create_symlink("b", f / "a");
         fs::create_symlink("a", f / "b");
     },
     "a", nullptr, 0, {"a", "b"}},
    {"TargetIsAFolderFails", [](const CScratchFolder& f) { fs::create_directory(f / "ordner.bin"); }, "ordner.bin",
     nullptr, 0, {"ordner.bin"}},
    {"MissingFolderFails", [](const CScratchFolder&) {}, "fehlt/neu.bin", nullptr, 0, {}},
    {"UnwritableFolderFailsAndKeepsTheOldFile",
     [](const CScratchFolder& f) {
         WriteOld(f / "alt.bin", fs::perms(0644));
         fs::permissions(f.Path(), fs::perms(0555));
     },
     "alt.bin", nullptr, 0, {"alt.bin"}, true},
};

void PrintTo(const CReplaceCase& c, std::ostream* pOut) { *pOut << c.pszName; }

class AtomicFileTest : public ::testing::TestWithParam<CReplaceCase> {};

TEST_P(AtomicFileTest, ReplacesOrLeavesEverythingAsItWas)
{
    const CReplaceCase& c = GetParam();
    if (c.bNeedsNonRoot && ::geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    CScratchFolder folder;
    c.fnPrepare(folder);
    std::map<std::string, std::string> before;
    std::error_code ec;
    for (const std::string& strName : folder.Names())
        if (fs::is_regular_file(folder / strName, ec))
            before[strName] = ReadBytes(folder / strName);

    const bool bWritten = WriteFileAtomically(folder / c.pszTarget, {"first part, ", "", "second part"});

    EXPECT_EQ(bWritten, c.pszLandsIn != nullptr);
    fs::permissions(folder.Path(), fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(folder.Names(), c.names);
    if (c.pszLandsIn == nullptr) {
        for (const auto& [strName, strBytes] : before)
            EXPECT_EQ(ReadBytes(folder / strName), strBytes) << strName;
        return;
    }
    EXPECT_EQ(ReadBytes(folder / c.pszLandsIn), "first part, second part");
    EXPECT_FALSE(fs::is_symlink(folder / c.pszLandsIn));
    if (std::string(c.pszTarget) != c.pszLandsIn) {
        EXPECT_TRUE(fs::is_symlink(folder / c.pszTarget));
    }
    const mode_t nMask = ::umask(0);
    ::umask(nMask);
    struct stat st {};
    ASSERT_EQ(::stat((folder / c.pszLandsIn).c_str(), &st), 0);
    const unsigned nExpected = c.nMode == kNewFileMode ? (0666u & ~nMask) : unsigned(c.nMode);
    EXPECT_EQ(st.st_mode & 07777, nExpected);
}

INSTANTIATE_TEST_SUITE_P(Cases, AtomicFileTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.pszName); });

}  // namespace
