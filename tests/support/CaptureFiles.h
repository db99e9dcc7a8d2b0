#pragma once
// The recorded console sessions and device logs beside the repository (not part of it), and the
// fixture of the suites that replay them: skipped, with the reason, where the folder is absent.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestFiles.h"

inline std::filesystem::path CapturesDir()
{
    return QUILLOMAT_CAPTURES_DIR;
}

inline std::filesystem::path StreamsDir()
{
    return QUILLOMAT_STREAMS_DIR;
}

template <class TParam>
class CCaptureTest : public ::testing::TestWithParam<TParam> {
protected:
    void SetUp() override
    {
        if (!std::filesystem::is_directory(CapturesDir()))
            GTEST_SKIP() << "no recorded sessions at " << CapturesDir() << " (QUILLOMAT_CAPTURES_DIR)";
    }
    CScratchFolder m_Dir{"quillomat-capture"};
};
