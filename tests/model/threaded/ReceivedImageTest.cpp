// Images the serial worker adopts reach the image model as queued notices on its own thread,
// while the user-interface thread goes on editing through it (a ThreadSanitizer run checks
// that the two never race).

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "CurveSets.h"
#include "ImageModel.h"
#include "ParameterSet.h"

namespace qx {
namespace {

TEST(ReceivedImageTest, AdoptedImagesArriveAsQueuedProcessorNoticesAndEditsSurvive) {
    InstallCurveSets();
    ResetParameters();
    CImageModel& model = CImageModel::Editor();
    model.Resynchronise();
    std::vector<ImageNotice> notices;
    QObject context;
    QObject::connect(&model, &CImageModel::Changed, &context,
                     [&](const ImageNotice& n) { notices.push_back(n); });
    CFilter* band = CurveSetOf(kEqMic1)->GetAt(5);

    auto received = std::make_unique<ProgramImage>();
    AtomicCopy(received.get(), &ParameterSet.program, sizeof(ProgramImage));
    received->Mic1.bands[5].type = 2;
    received->Mic1.bands[5].gainCode = 170;

    std::atomic<bool> adopted{false};
    std::thread worker([&] {
        AdoptProgram(received.get());
        QMetaObject::invokeMethod(&model, &CImageModel::NoteProgramReceived, Qt::QueuedConnection);
        adopted = true;
    });
    // Meanwhile a person edits another field and the curve keeps drawing.
    const ParamField* ratio = CParamCatalogue::Find("Mic2.limiter.ratio");
    ASSERT_NE(ratio, nullptr);
    for (int i = 0; i < 50; ++i) {
        model.WriteField(*ratio, i % 5, ChangeOrigin::FromControl(7));
        band->GetLabel();
    }
    worker.join();
    ASSERT_TRUE(adopted);
    // An edit made before the adoption is replaced by the processor's image; one made after it
    // stands. Nothing else can be there.
    const int ratioNow = ParameterSet.program.Mic2.limiter.ratio;
    EXPECT_TRUE(ratioNow == 49 % 5 || ratioNow == received->Mic2.limiter.ratio) << ratioNow;

    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    ASSERT_FALSE(notices.empty());
    bool processorSeen = false;
    for (const ImageNotice& n : notices) {
        for (const ImageChange& c : n.Changes()) {
            if (c.origin.source == ChangeSource::Processor) {
                processorSeen = true;
                EXPECT_TRUE(c.range.Overlaps(
                    static_cast<std::size_t>(
                        reinterpret_cast<const uint8_t*>(&ParameterSet.program.Mic1.bands[5]) -
                        reinterpret_cast<const uint8_t*>(&ParameterSet)),
                    sizeof(EqBand)));
            }
        }
    }
    EXPECT_TRUE(processorSeen);
    EXPECT_EQ(band->GetType(), 2);  // the curve set followed on this thread
    EXPECT_EQ(band->GetGainCode(), 170);
    SetCurveSetHooks({});
}

}  // namespace
}  // namespace qx
