#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "CurveSets.h"
#include "ParameterSet.h"

using namespace qx;

namespace {

std::size_t OffsetOf(const void* p) {
    return static_cast<std::size_t>(static_cast<const unsigned char*>(p) -
                                    reinterpret_cast<const unsigned char*>(&ParameterSet));
}

}  // namespace

// The serial worker adopts images read from the device while the user-interface thread draws
// and drags the filters: the worker never touches a filter; the user-interface thread attaches
// the sets over the changed records when it is told.
TEST(CurveReloadTest, ImagesAdoptedByTheWorkerReachTheFiltersOnlyOnTheUserInterfaceThread) {
    InstallCurveSets();
    ResetParameters();
    CKTVEQ* set = CurveSetOf(kEqMusicLeft);
    CFilter* band = set->GetAt(0);

    std::thread worker([] {
        ParamGuard guard(ParamLock);
        EqBand& b = ParameterSet.program.MusicLeft.bands[0];
        b.freqCode = 204;
        b.gainCode = 180;
        b.type = 1;
        AdoptAsSent(false);
        ParameterSet.program.Mic2.bands[1].type = 1;
        ParameterSet.program.Mic2.bands[1].gainCode = 60;
        ParameterSet.program.Mic2.bands[1].freqCode = 204;
        LinkMic(true);  // copies Mic1 over Mic2 again
    });
    // Meanwhile the user-interface thread keeps drawing.
    for (int i = 0; i < 200; ++i) {
        set->SumCurve();
        band->GetLabel();
    }
    worker.join();

    EXPECT_EQ(band->GetType(), 0);  // nothing touched the filter yet
    const std::vector<int> attached =
        AttachCurveSetsTouching([](std::size_t, std::size_t) { return true; });
    EXPECT_EQ(attached.size(), static_cast<std::size_t>(kCurveSetCount));
    EXPECT_EQ(band->GetType(), 1);
    EXPECT_NEAR(band->GetResponse()[239], 12.0, 1e-9);
    EXPECT_EQ(CurveSetOf(kEqMic2)->GetAt(1)->GetType(), 0);
    SetCurveSetHooks({});
}

// Only the sets whose bands or pass filters hold a changed byte are attached; the filters stay
// where they are, so views keep their pointers.
TEST(CurveReloadTest, AttachesTheSetsOverTheChangedRecordsOnly) {
    InstallCurveSets();
    ResetParameters();
    CFilter* echo = CurveSetOf(kEqEchoA)->GetAt(2);
    CFilter* reverb = CurveSetOf(kEqReverb)->GetAt(2);
    ParameterSet.program.EchoA.bands[2].type = 3;
    ParameterSet.program.Reverb.bands[2].type = 3;
    const std::size_t changed = OffsetOf(&ParameterSet.program.EchoA.bands[2].type);

    const std::vector<int> attached =
        AttachCurveSetsTouching([changed](std::size_t offset, std::size_t size) {
            return changed >= offset && changed < offset + size;
        });
    EXPECT_EQ(attached, std::vector<int>{kEqEchoA});
    EXPECT_EQ(CurveSetOf(kEqEchoA)->GetAt(2), echo);
    EXPECT_EQ(echo->GetType(), 3);
    EXPECT_EQ(reverb->GetType(), 0);  // not told: still what it was attached to

    // The high-pass record of an output channel names that channel's set in its scene only.
    const PassFilter& hpf = ParameterSet.program.scenes[1].channels[3].hpf;
    const std::size_t first = OffsetOf(&hpf);
    const std::vector<int> outputs =
        AttachCurveSetsTouching([first](std::size_t offset, std::size_t size) {
            return first >= offset && first < offset + size;
        });
    EXPECT_EQ(outputs, std::vector<int>{kEqOutputFirst + 3});
    SetCurveSetHooks({});
}
