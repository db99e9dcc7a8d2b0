#include "common/MessageSink.h"

#include <iostream>

namespace {
MessageSinkFn& CurrentSink()
{
    static MessageSinkFn fnSink;
    return fnSink;
}
} // namespace

MessageSinkFn SetMessageSink(MessageSinkFn fnSink)
{
    MessageSinkFn fnPrevious = std::move(CurrentSink());
    CurrentSink() = std::move(fnSink);
    return fnPrevious;
}

void ShowMessage(const std::string& strUtf8Text)
{
    if (CurrentSink())
        CurrentSink()(strUtf8Text);
    else
        std::cerr << strUtf8Text << '\n';
}

bool ShowResult(const CResult& result)
{
    if (result.HasMessage())
        ShowMessage(result.m_strMessage);
    return result.Ok();
}
