#pragma once
// The 34 curve sets of the editor, one per equaliser of the parameter image: music left and
// right, the two microphones, Echo A, Echo B, Reverb and its shadow, the eight output channels
// of each of the three output scenes, and the two dynamic equalisers.

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "KTVEQ.h"
#include "ProgramImage.h"

namespace qx {

constexpr int kCurveSetCount = 34;

// Registers the curve sets with the parameter operations, so that ResetParameters builds them
// and every operation that replaces or copies records attaches them again. Call once at
// start-up on the user-interface thread, before ResetParameters; that thread owns the filters.
void InstallCurveSets();

// The bytes of the records of one equaliser of the ParameterSet (its bands, its high-pass and
// low-pass records) as offsets of the ParamImage. Output numbers resolve as for CurveSetOf.
struct ByteSpan {
    std::size_t offset = 0;
    std::size_t size = 0;
};
std::vector<ByteSpan> EqRecordSpans(int eqNumber, int scene = 0);

// Attaches again every curve set whose records (bands, high-pass, low-pass) overlap bytes that
// `touched` reports as changed, given as an offset into the ParamImage and a size. The image
// model calls this on the user-interface thread for every change it announces, so the curves
// follow images adopted by the serial worker, link copies and file imports. Returns the EQ
// numbers attached (an output number once per scene attached).
std::vector<int> AttachCurveSetsTouching(
    const std::function<bool(std::size_t offset, std::size_t size)>& touched);

// The set of an EQ number. Output numbers 8..15 resolve to the given scene (1..3), or to the
// scene in force when scene is 0. Null for a number that names no equaliser.
CKTVEQ* CurveSetOf(int eqNumber, int scene = 0);

// The records of one equaliser of an image: its bands, and its high-pass and low-pass records
// (null for the dynamic equalisers, whose bands are DynamicEqBand records drawn through their
// first five bytes). Output numbers 8..15 resolve as for CurveSetOf. Empty (count 0) for a
// number that names no equaliser.
struct EqElements {
    EqBand* bands = nullptr;
    int count = 0;
    PassFilter* hpf = nullptr;
    PassFilter* lpf = nullptr;
    DynamicEqBand* dynamic = nullptr;

    // Band i of either kind; null beyond the count.
    EqBand* Band(int i) const;
};
EqElements EqElementsOf(ProgramImage& image, int eqNumber, int scene);

// Builds a set over the records of one equaliser of an image, or attaches a built set to them
// again. Numbers that name no equaliser leave the set untouched and return false.
bool BuildCurveSet(CKTVEQ& set, ProgramImage& image, int eqNumber, int scene);
bool AttachCurveSet(CKTVEQ& set, ProgramImage& image, int eqNumber, int scene);

// The bypass byte the curve view shows for an equaliser: output numbers 8..15 take the channel
// of the scene named by the image's OutputMode and have none while it is Auto (0); the dynamic
// equalisers have none. Null when there is none.
const U8* EqBypassByte(const ProgramImage& image, int eqNumber);

// The total response of one equaliser of an image on the display grid: (frequency in Hz,
// level in dB) per point, ascending. Empty for a number that names no equaliser. The image is
// only read.
std::vector<std::pair<double, double>> EqTotalResponse(const ParamImage& image, int eqNumber,
                                                       int scene = 0);

}  // namespace qx
