#pragma once
// The receive dialog's texts as a terminal shows them. The dialog asks the user to press its OK
// button once the console has stopped sending; the terminal has no such button and carries on
// by itself, so that line reads differently here. Every other line stays the dialog's.
#include <string>

std::string TerminalMessage(const std::string& strDialogText);
