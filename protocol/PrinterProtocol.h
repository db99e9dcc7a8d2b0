#pragma once
// The vocabulary of the printer protocol, shared by the printer we play and the console we
// simulate. A packet is
//   88 33 CMD COMP LEN_LO LEN_HI <data> SUM_LO SUM_HI <ack> <status>
// where the sum is the 16-bit sum of CMD up to the last data byte, and the printer answers with
// 0x81 and its status in the exchanges of the last two bytes.
#include <cstdint>

constexpr uint8_t PRINTER_MAGIC_1 = 0x88;
constexpr uint8_t PRINTER_MAGIC_2 = 0x33;

constexpr uint8_t PRINTER_CMD_INIT = 0x01;
constexpr uint8_t PRINTER_CMD_PRINT = 0x02;
constexpr uint8_t PRINTER_CMD_DATA = 0x04;
constexpr uint8_t PRINTER_CMD_STATUS = 0x0F;
constexpr uint8_t PRINTER_CMD_BREAK = 0x08;   // some games end a session with it; no printer command

constexpr uint8_t PRINTER_ACK = 0x81;        // the printer's acknowledgement
constexpr uint8_t PRINTER_NO_ANSWER = 0x00;  // what the printer sends in every other exchange
