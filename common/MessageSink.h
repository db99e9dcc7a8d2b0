#pragma once
// The core shows no windows and never calls the sink: its operations return a CResult
// (common/Result.h). The edges (the document and view, the dialogs, the CLI) show what it says
// through the message sink; the desktop program installs one that opens a QMessageBox, the CLI
// one that prints to stderr.
#include <functional>
#include <string>

#include "common/Result.h"

using MessageSinkFn = std::function<void(const std::string& strUtf8Text)>;

// Installs the sink and returns the previous one. An empty function restores the default,
// which writes the text to stderr.
MessageSinkFn SetMessageSink(MessageSinkFn fnSink);

// Shows one message (UTF-8) through the current sink.
void ShowMessage(const std::string& strUtf8Text);

// Shows the result's text, if it has one, through the current sink; returns result.Ok().
bool ShowResult(const CResult& result);

// Installs a sink for the life of a scope, e.g. in tests that collect the messages.
class CScopedMessageSink {
public:
    explicit CScopedMessageSink(MessageSinkFn fnSink) : m_fnPrevious(SetMessageSink(std::move(fnSink))) {}
    ~CScopedMessageSink() { SetMessageSink(std::move(m_fnPrevious)); }
    CScopedMessageSink(const CScopedMessageSink&) = delete;
    CScopedMessageSink& operator=(const CScopedMessageSink&) = delete;

private:
    MessageSinkFn m_fnPrevious;
};
