#pragma once
// The printer port as the link module uses it: three registers from the port's base address,
// and the bits that carry the console's link lines and the module's loop-back tests. Shared by
// the program's side of the link and the simulated module.
#include <cstdint>

constexpr uint16_t DATA_REGISTER = 0;     // base + 0
constexpr uint16_t STATUS_REGISTER = 1;   // base + 1
constexpr uint16_t CONTROL_REGISTER = 2;  // base + 2

constexpr uint8_t CONTROL_STROBE = 0x01;    // Strobe: released at the start of every exchange
constexpr uint8_t CONTROL_DATA_OUT = 0x02;  // Auto Feed: our bit to the console, inverted at the connector

constexpr uint8_t STATUS_CLOCK = 0x10;         // Select: the console's clock
constexpr uint8_t STATUS_DATA_IN = 0x20;       // Paper End: the console's data bit
constexpr uint8_t STATUS_LOOP_D7 = 0x40;       // Ack: follows data bit D7 (the probe's loop-back)
constexpr uint8_t STATUS_LOOP_VERSION = 0x80;  // Busy: follows D6 (version 3) or D5 (version 4) inverted
