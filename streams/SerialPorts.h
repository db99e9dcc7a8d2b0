#pragma once
// The serial devices present that a USB printer emulator shows up as (/dev/ttyACM*, /dev/ttyUSB*).
#include <string>
#include <vector>

// The full paths of the ttyACM* and ttyUSB* entries in strDevDir, ACM before USB and by number
// (ttyACM2 before ttyACM10). Empty when the folder cannot be read.
std::vector<std::string> ListSerialDevices(const std::string& strDevDir = "/dev");
