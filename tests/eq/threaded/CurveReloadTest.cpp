#include <gtest/gtest.h>

#include <thread>

#include "CurveSets.h"
#include "ParameterSet.h"

using namespace qx;

// The serial worker adopts images read from the device while the user-interface thread draws
// and drags the filters: the worker only records the reload, the user-interface thread does it.
TEST(CurveReloadTest, ReloadsAskedForByTheWorkerRunOnTheUserInterfaceThread) {
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
        LinkMic(true);  // copies Mic1 over Mic2 again and asks for Mic2's reload
    });
    // Meanwhile the user-interface thread keeps drawing.
    for (int i = 0; i < 200; ++i) {
        set->SumCurve();
        band->GetLabel();
    }
    worker.join();

    EXPECT_EQ(band->GetType(), 0);  // nothing touched the filter yet
    ApplyPendingCurveReloads();
    EXPECT_EQ(band->GetType(), 1);
    EXPECT_NEAR(band->GetResponse()[239], 12.0, 1e-9);
    EXPECT_EQ(CurveSetOf(kEqMic2)->GetAt(1)->GetType(), 0);
    SetCurveSetHooks({});
}

TEST(CurveReloadTest, CurveSetOfCarriesOutPendingReloads) {
    InstallCurveSets();
    ResetParameters();
    CFilter* band = CurveSetOf(kEqEchoA)->GetAt(2);
    std::thread worker([] {
        ParamGuard guard(ParamLock);
        ParameterSet.program.EchoA.bands[2].type = 3;
        AdoptAsSent(false);
    });
    worker.join();
    EXPECT_EQ(band->GetType(), 0);
    EXPECT_EQ(CurveSetOf(kEqEchoA)->GetAt(2), band);
    EXPECT_EQ(band->GetType(), 3);
    SetCurveSetHooks({});
}
