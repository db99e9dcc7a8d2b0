#pragma once
// What the picture commands (soften, colorize, info) share: their options, loading the input
// file, and naming the file that a message of the core is about.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/MessageSink.h"

class CDib;

// One "--name N" option with its allowed range.
struct CIntOption {
    const char* pName;
    int32_t* pValue;
    int32_t nMin;
    int32_t nMax;
};

// Reads the options into their values and collects the other arguments as files. Returns
// CLI_OK, or CLI_BAD_USAGE after a one-line message naming the problem.
int ParseIntOptions(const std::string& strCommand, const std::vector<std::string>& args,
                    std::initializer_list<CIntOption> options, std::vector<std::string>& files);

// Loads a bitmap or PNG file; a file that cannot be opened is named with the system's reason, a
// file that is not a usable picture with the picture's own message (shown here, as every
// message of the core the picture commands get back).
bool LoadPictureFile(CDib& dib, const std::string& strFile);

// Writes the picture enlarged nScale times (1: as it is), as PNG when the name ends in ".png",
// else as a bitmap file. On failure the message is shown and no file is left behind; a picture
// without rows is never written (CLI_MSG_NO_ROWS).
bool WritePicture(const CDib& dib, const std::string& strFile, int32_t nScale);
inline constexpr const char* CLI_MSG_NO_ROWS = "the picture has no rows; no file is written";

// The option every command that writes a picture takes: --scale 1..16.
inline constexpr const char* SCALE_OPTION = "--scale";

// Shows the core's messages on stderr as "quillomat-cli: FILE: text", FILE being the file the
// command is working on at the time (SetFile changes it).
class CFileMessages {
public:
    explicit CFileMessages(std::string strFile);
    void SetFile(std::string strFile) { m_strFile = std::move(strFile); }

private:
    std::string m_strFile;
    CScopedMessageSink m_Sink;
};
