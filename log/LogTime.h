#pragma once
#include <string>

// The local time of day as the log stores it: "%H:%M:%S:", nine characters.
std::string CurrentLogTime();
