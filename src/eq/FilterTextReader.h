#pragma once
// Reads the filter text that room-measurement and system-wide equaliser programs write:
//
//   Filter Settings file            header lines of a measurement export, up to the first
//   Room EQ V5.20                   Filter line (only when the text starts with this line)
//   Preamp: -5.4 dB                 summed when repeated
//   # comment                       ignored, like blank lines
//   Filter 1: ON PK Fc 63 Hz Gain -5.0 dB Q 4.00
//   Filter: ON LSC Fc 105 Hz Gain 5.5 dB Q 0.71      also LS, HS, HSC; PEQ for PK
//   Filter 3: ON LS 6dB Fc 80 Hz Gain 3 dB            a shelf slope in dB per octave
//   Filter 4: ON HP Fc 40 Hz                          also LP, and HPQ / LPQ with a Q
//   Filter 5: OFF PK Fc 1000 Hz Gain 2 dB BW Oct 1.0
//   Filter 6: ON None                                 an empty slot
//
// A UTF-8 byte-order mark and Windows or old Macintosh line ends are accepted. Every line that
// is not one of these is reported with its number; nothing is skipped silently.

#include <string>

#include "FilterText.h"

namespace qx {

class CFilterTextReader {
  public:
    static FilterText Read(const std::string& text);
};

}  // namespace qx
