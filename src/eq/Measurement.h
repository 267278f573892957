#pragma once
// A measured frequency response as measurement programs export it: frequency in hertz and
// level in dB per point (a phase column, when present, is read past), frequencies rising.

#include <string>
#include <vector>

namespace qx {

struct Measurement {
    std::vector<double> hz;  // rising
    std::vector<double> db;

    std::size_t Size() const { return hz.size(); }
    bool Empty() const { return hz.empty(); }
};

// A line that stopped the reading, with its 1-based number (0: the text as a whole).
struct MeasurementError {
    int line = 0;
    std::string reason;
};

struct MeasurementResult {
    Measurement data;
    MeasurementError error;  // empty reason: the text was read
    bool cancelled = false;

    bool Ok() const { return error.reason.empty() && !cancelled; }
};

}  // namespace qx
