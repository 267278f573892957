#pragma once
// Reads a measured response (or a house curve, which has the same shape): optional comment
// lines first (a line that does not start with a number: '*' lines, headers, notes), then one
// point per line: frequency, level in dB and optionally more columns (phase), separated by
// commas, tabs, spaces or semicolons. A UTF-8 byte-order mark and CR/LF line ends are taken.
// The reading stops at the first line it cannot take and says which and why: a number that is
// not finite, a frequency that does not rise, a missing level, text after the points began.

#include <cstddef>
#include <functional>
#include <string_view>

#include "Measurement.h"

namespace qx {

class CMeasurementReader {
  public:
    // Far above any measurement export (a 1/96-octave sweep has about a thousand points);
    // a text beyond these is refused with the limit named rather than read.
    static constexpr std::size_t kMaxBytes = 64u << 20;
    static constexpr std::size_t kMaxPoints = 2'000'000;
    static constexpr std::size_t kMinPoints = 2;

    // Told the share of the text read so far (0..1) about every 64 KiB; returning false
    // cancels the reading (the result says cancelled and holds no points).
    using Progress = std::function<bool(double done)>;

    static MeasurementResult Read(std::string_view text, const Progress& progress = {});
    // Reads a file whole, refusing one larger than kMaxBytes before reading it.
    static MeasurementResult ReadFile(const std::string& path, const Progress& progress = {});
};

}  // namespace qx
