#pragma once
// The vocabulary of the printer protocol, shared by the printer we play and the console we
// simulate. A packet is
//   88 33 CMD COMP LEN_LO LEN_HI <data> SUM_LO SUM_HI <ack> <status>
// where the sum is the 16-bit sum of CMD up to the last data byte, and the printer answers with
// 0x81 and its status in the exchanges of the last two bytes.
#include <cstddef>
#include <cstdint>
#include <span>

constexpr uint8_t PRINTER_MAGIC_1 = 0x88;
constexpr uint8_t PRINTER_MAGIC_2 = 0x33;

constexpr uint8_t PRINTER_CMD_INIT = 0x01;
constexpr uint8_t PRINTER_CMD_PRINT = 0x02;
constexpr uint8_t PRINTER_CMD_DATA = 0x04;
constexpr uint8_t PRINTER_CMD_STATUS = 0x0F;
constexpr uint8_t PRINTER_CMD_BREAK = 0x08;   // some games end a session with it; no printer command

constexpr uint8_t PRINTER_ACK = 0x81;        // the printer's acknowledgement
constexpr uint8_t PRINTER_NO_ANSWER = 0x00;  // what the printer sends in every other exchange

// The compression flag (COMP): only a data packet may carry the run-length coded one.
constexpr uint8_t PACKET_PLAIN = 0x00;
constexpr uint8_t PACKET_COMPRESSED = 0x01;

// Where the fields lie, counted from the first magic byte.
constexpr size_t PACKET_AT_COMMAND = 2;
constexpr size_t PACKET_AT_FLAG = 3;
constexpr size_t PACKET_AT_LENGTH = 4;       // low byte first
constexpr size_t PACKET_HEADER_BYTES = 6;    // the data follow
constexpr size_t PACKET_TRAILER_BYTES = 4;   // sum low, sum high, the printer's two answers

// The print packet's four data bytes.
constexpr size_t PRINT_ARG_BYTES = 4;
constexpr size_t PRINT_ARG_SHEETS = 0;
constexpr size_t PRINT_ARG_MARGINS = 1;      // high nibble before, low nibble after the print
constexpr size_t PRINT_ARG_PALETTE = 2;      // shade of colour c: (palette >> 2c) & 3
constexpr size_t PRINT_ARG_EXPOSURE = 3;

// The checksum a packet carries: command, flag, both length bytes and the data, modulo 2^16.
inline uint16_t PacketChecksum(uint8_t nCommand, uint8_t nFlag, std::span<const uint8_t> data)
{
    uint32_t nSum = nCommand + nFlag + (data.size() & 0xFF) + ((data.size() >> 8) & 0xFF);
    for (const uint8_t b : data)
        nSum += b;
    return static_cast<uint16_t>(nSum);
}
