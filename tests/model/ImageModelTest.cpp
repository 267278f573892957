// The image model: every write is recorded with who made it, and once per turn of the event
// loop one notice names what really changed, with the old and the new bytes.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstring>
#include <memory>
#include <vector>

#include "CurveSets.h"
#include "ImageModel.h"
#include "ParamCatalogue.h"
#include "ParameterSet.h"
#include "VolumeClamps.h"

namespace qx {
namespace {

const ParamField& Field(const char* name) {
    const ParamField* f = CParamCatalogue::Find(name);
    EXPECT_NE(f, nullptr) << name;
    return *f;
}

std::size_t Offset(const char* name) {
    return static_cast<std::size_t>(Field(name).offset);
}

// Collects the notices a model emits.
struct Notices {
    explicit Notices(CImageModel& model) {
        QObject::connect(&model, &CImageModel::Changed, &context,
                         [this](const ImageNotice& n) { seen.push_back(n); });
    }
    QObject context;
    std::vector<ImageNotice> seen;
};

class ImageModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        InstallCurveSets();
        ResetParameters();
        CImageModel::Editor().Resynchronise();
    }
    void TearDown() override {
        CImageModel::Editor().Flush();
        QCoreApplication::processEvents();
    }
};

// Many writes in one turn are one notice, sent from the event loop, in the order written;
// each change names its field, its old and new bytes and its origin, so it can be undone.
TEST_F(ImageModelTest, WritesOfOneTurnAreOneNoticeWithOldAndNewBytes) {
    auto image = std::make_unique<ParamImage>();
    std::memset(image.get(), 0, sizeof(ParamImage));
    CImageModel model(*image);
    Notices notices(model);

    model.WriteField("MusicLeft.limiter.ratio", 3, ChangeOrigin::FromControl(1041));
    model.WriteField("MusicLeft.limiter.ratio", 4, ChangeOrigin::FromControl(1041));
    model.WriteField("System.musicMax", 200, ChangeOrigin::FromControl(2572));  // held at 84
    model.Write16(Offset("Mic1.bands[2].freqCode"), 0x0123, ChangeOrigin::FromFile("a.mp"));
    EXPECT_TRUE(notices.seen.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(notices.seen.size(), 1u);

    const auto& changes = notices.seen[0].Changes();
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].field, "MusicLeft.limiter.ratio");
    EXPECT_EQ(changes[0].range.offset, Offset("MusicLeft.limiter.ratio"));
    EXPECT_EQ(changes[0].before, std::vector<uint8_t>{0});
    EXPECT_EQ(changes[0].after, std::vector<uint8_t>{4});
    EXPECT_EQ(changes[0].origin.source, ChangeSource::Control);
    EXPECT_EQ(changes[0].origin.id, 1041);

    const ParamField& max = Field("System.musicMax");
    EXPECT_EQ(changes[1].range.offset, static_cast<std::size_t>(max.offset));
    EXPECT_EQ(changes[1].after, std::vector<uint8_t>{static_cast<uint8_t>(max.maximum)});

    EXPECT_EQ(changes[2].range.offset, Offset("Mic1.bands[2].freqCode"));
    EXPECT_EQ(changes[2].range.size, 2u);
    EXPECT_EQ(changes[2].after, (std::vector<uint8_t>{0x23, 0x01}));
    EXPECT_EQ(changes[2].origin.source, ChangeSource::File);
    EXPECT_EQ(changes[2].origin.label, "a.mp");

    const ImageNotice& n = notices.seen[0];
    EXPECT_TRUE(n.Touches(Offset("Mic1.bands[2].freqCode") + 1, 1));
    EXPECT_FALSE(n.Touches(Offset("Mic1.bands[2].gainCode"), 1));
    EXPECT_TRUE(n.TouchesProgram());
    EXPECT_TRUE(n.TouchesSystem());
    EXPECT_TRUE(n.TouchedBy(ChangeSource::File, Offset("Mic1.bands[2].freqCode"), 2));
    EXPECT_FALSE(n.TouchedBy(ChangeSource::Control, Offset("Mic1.bands[2].freqCode"), 2));

    // Undo from the notice: the old bytes written back give the image before the turn.
    for (auto c = changes.rbegin(); c != changes.rend(); ++c) {
        model.WriteBytes(c->range.offset, c->before.data(), c->before.size(),
                         ChangeOrigin::FromRule("undo"));
    }
    model.Flush();
    ParamImage zero;
    std::memset(&zero, 0, sizeof zero);
    EXPECT_EQ(std::memcmp(image.get(), &zero, sizeof zero), 0);
}

// A write of what the field already holds, or a write undone in the same turn, announces
// nothing; a byte field and an unknown name are refused.
TEST_F(ImageModelTest, WritesThatChangeNothingAnnounceNothing) {
    auto image = std::make_unique<ParamImage>();
    std::memset(image.get(), 0, sizeof(ParamImage));
    CImageModel model(*image);
    Notices notices(model);
    model.WriteField("MusicLeft.limiter.ratio", 0, ChangeOrigin::FromControl(1));
    model.WriteField("Mic1.limiter.ratio", 5, ChangeOrigin::FromControl(2));
    model.WriteField("Mic1.limiter.ratio", 0, ChangeOrigin::FromControl(2));
    EXPECT_FALSE(model.WriteField("no.such.field", 1, ChangeOrigin::FromControl(3)));
    EXPECT_FALSE(model.WriteField("name", 1, ChangeOrigin::FromControl(3)));
    QCoreApplication::processEvents();
    EXPECT_TRUE(notices.seen.empty());
    EXPECT_FALSE(model.HasPending());
}

// Old bytes are what a write replaced, even where the image was written without the model
// (start-up defaults, a file read by the device modes): such a byte written again with the
// value it already holds announces nothing.
TEST_F(ImageModelTest, OldBytesAreWhatTheWriteReplaced) {
    auto image = std::make_unique<ParamImage>();
    std::memset(image.get(), 0, sizeof(ParamImage));
    CImageModel model(*image);
    Notices notices(model);
    image->program.Mic1.limiter.ratio = 5;  // behind the model's back
    model.WriteField("Mic1.limiter.ratio", 5, ChangeOrigin::FromControl(1));
    model.Flush();
    EXPECT_TRUE(notices.seen.empty());
    model.WriteField("Mic1.limiter.ratio", 7, ChangeOrigin::FromControl(1));
    model.Flush();
    ASSERT_EQ(notices.seen.size(), 1u);
    EXPECT_EQ(notices.seen[0].Changes()[0].before, std::vector<uint8_t>{5});
    EXPECT_EQ(notices.seen[0].Changes()[0].after, std::vector<uint8_t>{7});
}

// A bit field is announced as its byte; the whole-byte write keeps the other bits out of it.
TEST_F(ImageModelTest, BitFieldsAndWholeBytes) {
    auto image = std::make_unique<ParamImage>();
    std::memset(image.get(), 0, sizeof(ParamImage));
    CImageModel model(*image);
    Notices notices(model);
    const ParamField& volume = Field("System.musicVolume");
    model.WriteFieldByte(volume, 0x80 | 20, ChangeOrigin::FromControl(1));
    model.Flush();
    ASSERT_EQ(notices.seen.size(), 1u);
    EXPECT_EQ(notices.seen[0].Changes()[0].after, std::vector<uint8_t>{0x80 | 20});
    model.WriteField(volume, 30, ChangeOrigin::FromControl(1));
    model.Flush();
    ASSERT_EQ(notices.seen.size(), 2u);
    EXPECT_EQ(notices.seen[1].Changes()[0].before, std::vector<uint8_t>{0x80 | 20});
    EXPECT_EQ(CParamCatalogue::Read(CParamCatalogue::Bytes(*image), volume), 30u);
}

// A received image is one notice from the processor naming just the bytes that differ, and
// the curve sets show it before anyone is told.
TEST_F(ImageModelTest, AReceivedImageIsOneProcessorNotice) {
    CImageModel& model = CImageModel::Editor();
    Notices notices(model);
    auto received = std::make_unique<ProgramImage>();
    AtomicCopy(received.get(), &ParameterSet.program, sizeof(ProgramImage));
    received->MusicLeft.bands[0].type = 1;
    received->MusicLeft.bands[0].gainCode = 180;
    received->Mic2.limiter.ratio = 3;
    CFilter* band = CurveSetOf(kEqMusicLeft)->GetAt(0);
    ASSERT_NE(band->GetType(), 1);

    AdoptProgram(received.get());  // as the worker does
    int typeSeen = -1;
    QObject context;
    QObject::connect(&model, &CImageModel::Changed, &context,
                     [&](const ImageNotice&) { typeSeen = band->GetType(); });
    model.NoteProgramReceived();
    ASSERT_EQ(notices.seen.size(), 1u);
    EXPECT_EQ(typeSeen, 1);
    const auto& changes = notices.seen[0].Changes();
    // Just the bytes that differ, in image order.
    ASSERT_EQ(changes.size(), 3u);
    for (const ImageChange& c : changes) {
        EXPECT_EQ(c.origin.source, ChangeSource::Processor);
        EXPECT_EQ(c.range.size, 1u);
    }
    EXPECT_EQ(changes[0].range.offset, Offset("Mic2.limiter.ratio"));
    EXPECT_EQ(changes[1].range.offset, Offset("MusicLeft.bands[0].gainCode"));
    EXPECT_EQ(changes[1].after, std::vector<uint8_t>{180});
    EXPECT_EQ(changes[2].range.offset, Offset("MusicLeft.bands[0].type"));
    // Nothing pending afterwards: the queued turn announces nothing more.
    QCoreApplication::processEvents();
    EXPECT_EQ(notices.seen.size(), 1u);

    // The system block likewise.
    SystemImage system;
    AtomicCopy(&system, &ParameterSet.system, sizeof system);
    system.block.micMax = 12;
    AdoptSystem(&system);
    model.NoteSystemReceived();
    ASSERT_EQ(notices.seen.size(), 2u);
    ASSERT_EQ(notices.seen[1].Changes().size(), 1u);
    EXPECT_EQ(notices.seen[1].Changes()[0].range.offset, Offset("System.micMax"));
    EXPECT_FALSE(notices.seen[1].TouchesProgram());
}

// A person's edit of the left channel and the link copy in one turn: one notice naming both
// channels' ranges, each with its own origin; the copy's bytes are in the sent copy too, and
// the curve sets follow. The EQ reset reports the bands it put back.
TEST_F(ImageModelTest, BlockOperationsReportWhatTheyCopied) {
    CImageModel& model = CImageModel::Editor();
    Notices notices(model);
    ProgramImage& p = ParameterSet.program;
    model.WriteField("MusicLeft.bands[4].gainCode", 150, ChangeOrigin::FromControl(1));
    model.WriteField("MusicLeft.limiter.ratio", 6, ChangeOrigin::FromControl(2));
    model.LinkMusic(ChangeOrigin::FromControl(1064));
    QCoreApplication::processEvents();
    ASSERT_EQ(notices.seen.size(), 1u);
    const ImageNotice& link = notices.seen[0];
    ASSERT_EQ(link.Changes().size(), 4u);
    EXPECT_EQ(link.Changes()[0].range.offset, Offset("MusicLeft.bands[4].gainCode"));
    EXPECT_EQ(link.Changes()[0].origin.id, 1);
    EXPECT_EQ(link.Changes()[1].range.offset, Offset("MusicLeft.limiter.ratio"));
    const std::size_t right = model.OffsetOf(&p.MusicRight);
    for (std::size_t k = 2; k < 4; ++k) {
        const ImageChange& c = link.Changes()[k];
        EXPECT_GE(c.range.offset, right);
        EXPECT_LE(c.range.End(), right + sizeof(MusicChannel));
        EXPECT_EQ(c.origin.id, 1064);
    }
    EXPECT_TRUE(link.Touches(Offset("MusicRight.bands[4].gainCode"), 1));
    EXPECT_TRUE(link.Touches(Offset("MusicRight.limiter.ratio"), 1));
    EXPECT_EQ(CurveSetOf(kEqMusicRight)->GetAt(4)->GetGainCode(), 150);
    EXPECT_EQ(SentImage.program.MusicRight.limiter.ratio, 6);  // sent copy too

    model.ResetEqBands(kEqMusicLeft, ChangeOrigin::FromControl(1080, "EQ reset"));
    model.Flush();
    ASSERT_EQ(notices.seen.size(), 2u);
    const std::size_t bands = model.OffsetOf(&p.MusicLeft.bands);
    bool gainSeen = false;
    for (const ImageChange& c : notices.seen[1].Changes()) {
        EXPECT_GE(c.range.offset, bands);
        EXPECT_LE(c.range.End(), bands + sizeof p.MusicLeft.bands);
        EXPECT_EQ(c.origin.label, "EQ reset");
        if (c.range.Overlaps(Offset("MusicLeft.bands[4].gainCode"), 1)) {
            gainSeen = true;
            EXPECT_EQ(c.before[Offset("MusicLeft.bands[4].gainCode") - c.range.offset], 150);
        }
    }
    EXPECT_TRUE(gainSeen);
    EXPECT_EQ(CurveSetOf(kEqMusicLeft)->GetAt(4)->GetGainCode(),
              static_cast<int>(p.MusicLeft.bands[4].gainCode));
}

// A filter's write (a curve drag) is the model's change too, with the origin of the control
// whose hooks made it, or "curve"; the curve set is not attached again under the drag.
TEST_F(ImageModelTest, FilterWritesReachTheModel) {
    CImageModel& model = CImageModel::Editor();
    Notices notices(model);
    CFilter* band = CurveSetOf(kEqMic1)->GetAt(3);
    band->SetGainCode(100);
    {
        const CImageModel::OriginScope scope(model, ChangeOrigin::FromControl(4242));
        band->SetQCode(20);
    }
    model.Flush();
    ASSERT_EQ(notices.seen.size(), 1u);
    const auto& changes = notices.seen[0].Changes();
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].range.offset, Offset("Mic1.bands[3].gainCode"));
    EXPECT_EQ(changes[0].origin.label, "curve");
    EXPECT_TRUE(changes[0].throughFilter);
    EXPECT_EQ(changes[1].range.offset, Offset("Mic1.bands[3].qCode"));
    EXPECT_EQ(changes[1].origin.id, 4242);

    // A filter over another image is not the editor's business.
    auto copy = std::make_unique<ProgramImage>();
    AtomicCopy(copy.get(), &ParameterSet.program, sizeof(ProgramImage));
    CFilter other;
    other.AttachBand(&copy->Mic1.bands[3]);
    other.SetGainCode(10);
    model.Flush();
    EXPECT_EQ(notices.seen.size(), 1u);

    // A plain field write attaches the set at once, so the filter shows the record.
    model.WriteField("Mic1.bands[3].gainCode", 60, ChangeOrigin::FromControl(1));
    EXPECT_EQ(band->GetGainCode(), 60);
    model.Flush();
}

// A maximum lowered by a person pulls its volume down inside the same write; the volume's
// change is the editor's rule, announced with the maximum's in one notice.
TEST_F(ImageModelTest, VolumeClampsHoldTheVolumeBelowTheMaximum) {
    auto image = std::make_unique<ParamImage>();
    std::memset(image.get(), 0, sizeof(ParamImage));
    CImageModel model(*image);
    CVolumeClamps clamps(model);
    Notices notices(model);
    image->system.block.musicVolume = 0x80 | 60;
    image->system.block.musicMax = 90;
    model.Resynchronise();
    model.WriteField("System.musicMax", 40, ChangeOrigin::FromControl(2572));
    EXPECT_EQ(image->system.block.musicVolume, 40);
    model.Flush();
    ASSERT_EQ(notices.seen.size(), 1u);
    ASSERT_EQ(notices.seen[0].Changes().size(), 2u);
    EXPECT_EQ(notices.seen[0].Changes()[1].origin.source, ChangeSource::Rule);
    EXPECT_EQ(notices.seen[0].Changes()[1].before, std::vector<uint8_t>{0x80 | 60});
}

}  // namespace
}  // namespace qx
