#pragma once
// The one way the core reports how an operation went: a CResult holds the kind of failure and
// the text the program shows for it (UTF-8, exactly as the user sees it). The core shows
// nothing itself; the edges (the document and view, the dialogs, the CLI) hand the text to the
// message sink (ShowResult in common/MessageSink.h) at the point where the operation returns.
//
// A few operations do their work and still have something to say (a bitmap whose depth has no
// colour count): their result is Ok() and carries a text all the same.
#include <string>
#include <utility>

enum class EErrorKind {
    None,             // the work was done
    ReadHeader,       // a bitmap file shorter than its file header
    Invalid,          // the bytes are not a picture of the kind they claim
    Truncated,        // a file that ends before its picture does
    ReadFailed,       // the file could not be opened or read, or there was no memory for it
    WriteFailed,      // the file or its bytes could not be written
    UnsupportedDepth, // a bit depth the operation cannot work on
    EmptyPicture,     // a picture without pixels where pixels are needed
    TooBig,           // the picture would pass the size limits
    NoMemory,         // no memory for the work area
    Unreachable,      // a device or port that cannot be opened, claimed or granted
    NotAvailable,     // nothing to take (no picture on the clipboard, no argument that fits)
};

struct [[nodiscard]] CResult {
    EErrorKind m_eKind = EErrorKind::None;
    std::string m_strMessage;  // empty: nothing to show

    bool Ok() const { return m_eKind == EErrorKind::None; }
    bool HasMessage() const { return !m_strMessage.empty(); }

    static CResult Success() { return {}; }
    // Done, with a text to show all the same.
    static CResult Notice(std::string strMessage) { return {EErrorKind::None, std::move(strMessage)}; }
    static CResult Failure(EErrorKind eKind, std::string strMessage = {})
    {
        return {eKind, std::move(strMessage)};
    }
};
