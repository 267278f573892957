#pragma once
// "Copy to...": which records of a channel, an output or a scene go where. A plan is a list of
// byte copies inside one program; it is worked out against a scratch image, so its preview
// lists exactly the fields that applying it changes. Equalisers copy only onto equalisers of
// the same band count; levels, mutes and delays only when asked for.

#include <cstddef>
#include <string>
#include <vector>

#include "ImageDiff.h"
#include "ProgramImage.h"

namespace qx {

enum class CopyKind : uint8_t {
    Music,      // index 0 left, 1 right
    Mic,        // index 0 Mic 1, 1 Mic 2
    DynamicEq,  // the music channels' dynamic EQ: index 0 left, 1 right
    Output,     // index = output channel (OutputChannel), scene 1..3
};

struct CopyEndpoint {
    CopyKind kind = CopyKind::Music;
    int index = 0;
    int scene = 1;  // outputs only

    bool operator==(const CopyEndpoint&) const = default;
};

// What to copy; a mask of these.
enum CopyPart : unsigned {
    kCopyEq = 1u << 0,        // bands, extra bands and their bypass switches
    kCopyFilters = 1u << 1,   // high- and low-pass filters
    kCopyDynamics = 1u << 2,  // limiter and noise gate
    kCopyLevels = 1u << 3,    // microphone level, output mix sends
    kCopyMute = 1u << 4,      // outputs
    kCopyDelay = 1u << 5,     // outputs
    kCopyDefault = kCopyEq | kCopyFilters | kCopyDynamics,
};

// One copy of `size` bytes from one offset of the ParamImage to another.
struct CopyWrite {
    std::size_t from = 0;
    std::size_t to = 0;
    std::size_t size = 0;
};

struct CopyPlan {
    std::vector<CopyWrite> writes;
    // Parts asked for that the source or a target does not have, or may not take, in the
    // interface language ("Music has no levels", "band counts differ: 15 and 20").
    std::vector<std::string> skipped;

    bool Empty() const { return writes.empty(); }
};

class CCopyPlan {
  public:
    // The endpoint a channel's "partner" names: the other music channel, microphone or dynamic
    // EQ, the other output of a stereo pair. False when it has none (Center, SUB).
    static bool Partner(const CopyEndpoint& source, CopyEndpoint& partner);
    // The endpoint's name as a person reads it: "Music Left", "Mic 2", "Scene Disco SUB".
    static std::string Name(const CopyEndpoint& endpoint, bool chinese);
    // A scene as a person reads it: "Scene Disco".
    static std::string SceneName(int scene, bool chinese);
    // The main band count of an endpoint's equaliser (15, 20, 3, 10).
    static int BandCount(const CopyEndpoint& endpoint);
    // The parts an endpoint has at all.
    static unsigned PartsOf(const CopyEndpoint& endpoint);

    // Copies of the chosen parts from source to each target (the source itself is skipped).
    static CopyPlan Plan(const CopyEndpoint& source, const std::vector<CopyEndpoint>& targets,
                         unsigned parts, bool chinese);
    // Every output of one scene: all eight, or the source's scene without the source.
    static std::vector<CopyEndpoint> AllOutputs(int scene);
    // The whole of scene `from` to scene `to`: every output channel with the chosen parts.
    static CopyPlan PlanScene(int from, int to, unsigned parts, bool chinese);

    // The image the plan makes from `image`; every source byte is read before any is written.
    static void ApplyTo(const ParamImage& image, const CopyPlan& plan, ParamImage& out);
    // The fields the plan would change, with their values before and after.
    static std::vector<FieldDifference> Preview(const ParamImage& image, const CopyPlan& plan);
};

}  // namespace qx
