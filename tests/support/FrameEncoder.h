#pragma once
// An independent writer of frames as the processor sends them: header, little-endian count,
// command, data, and the low byte of the sum from the count to the last data byte. Written
// from the frame layout, not from the editor's own frame code, so that tests of the reply
// parser and the link check that code against a second reading.

#include <cstdint>
#include <span>
#include <vector>

namespace qxtest {

// A frame of cmd and data with the FF 55 header, or the other header (03 CC) when asked.
std::vector<uint8_t> EncodeFrame(uint8_t cmd, const std::vector<uint8_t>& data,
                                 bool altHeader = false);
// True when a whole frame's last byte is the checksum of its count, command and data.
bool ChecksumOk(std::span<const uint8_t> frame);

}  // namespace qxtest
