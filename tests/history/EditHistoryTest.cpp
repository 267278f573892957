// The edit history over a model of its own image: steps keep exactly the bytes they changed,
// undo and redo give back whole images, a received image is a wall, and a step is named by the
// field it changed.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <cstring>
#include <memory>
#include <random>

#include "EditHistory.h"
#include "FieldCaption.h"
#include "HistoryStep.h"
#include "ImageModel.h"
#include "ParamCatalogue.h"
#include "StepBytes.h"

namespace qx {
namespace {

const ParamField& Field(const char* name) {
    const ParamField* f = CParamCatalogue::Find(name);
    EXPECT_NE(f, nullptr) << name;
    return *f;
}

std::vector<uint8_t> Bytes(const ParamImage& image) {
    const auto* b = CParamCatalogue::Bytes(image);
    return {b, b + sizeof(ParamImage)};
}

struct Fixture {
    Fixture() : image(std::make_unique<ParamImage>()) {
        std::memset(image.get(), 0, sizeof(ParamImage));
        model = std::make_unique<CImageModel>(*image);
        history = std::make_unique<CEditHistory>(*model);
    }
    ~Fixture() {
        history.reset();
        model.reset();
    }
    void Set(const char* field, int code, int id = 1) {
        model->WriteField(Field(field), code, ChangeOrigin::FromControl(id));
    }
    // What the processor sent, adopted behind the model's back as the worker does.
    void Receive(const char* field, int code) {
        ParsedValue v;
        v.code = static_cast<uint32_t>(code);
        CParamCatalogue::Apply(CParamCatalogue::Bytes(*image), Field(field), v);
        model->NoteProgramReceived();
    }
    void Turn() { QCoreApplication::processEvents(); }

    std::unique_ptr<ParamImage> image;
    std::unique_ptr<CImageModel> model;
    std::unique_ptr<CEditHistory> history;
};

// A thousand moves of one field keep one run of the field's width; moves that end where they
// began keep nothing; runs of neighbouring bytes join.
TEST(StepBytes, KeepsFirstBeforeAndLastAfterOfEveryByte) {
    CStepBytes step;
    for (int i = 0; i < 1000; ++i) {
        const uint8_t before[2] = {static_cast<uint8_t>(i), 1};
        const uint8_t after[2] = {static_cast<uint8_t>(i + 1), 1};
        step.Add(100, before, after, 2);
    }
    StepRuns runs = step.Runs();
    ASSERT_EQ(runs.runs.size(), 1u);
    EXPECT_EQ(runs.runs[0].offset, 100u);
    EXPECT_EQ(runs.runs[0].size, 1u);  // the second byte never changed
    EXPECT_EQ(*runs.Before(runs.runs[0]), 0);
    EXPECT_EQ(*runs.After(runs.runs[0]), 1000 % 256);
    EXPECT_LE(runs.MemoryUsed(), 64u);

    CStepBytes back;
    const uint8_t a = 5;
    const uint8_t b = 9;
    back.Add(7, &a, &b, 1);
    back.Add(7, &b, &a, 1);
    EXPECT_TRUE(back.Runs().Empty());

    CStepBytes joined;
    const uint8_t zero[3] = {0, 0, 0};
    const uint8_t ones[3] = {1, 1, 1};
    joined.Add(10, zero, ones, 2);
    joined.Add(12, zero, ones, 1);
    joined.Add(20, zero, ones, 1);
    runs = joined.Runs();
    ASSERT_EQ(runs.runs.size(), 2u);
    EXPECT_EQ(runs.runs[0].size, 3u);
    EXPECT_EQ(runs.runs[1].offset, 20u);
}

// Each turn without a step is a step; undo and redo give back the whole image before and after,
// and the history does not record its own writes.
TEST(EditHistory, UndoAndRedoGiveBackWholeImages) {
    Fixture f;
    std::vector<std::vector<uint8_t>> images{Bytes(*f.image)};
    f.Set("MusicLeft.bands[4].gainCode", 105);
    f.Turn();
    images.push_back(Bytes(*f.image));
    f.Set("Mic2.limiter.attack", 3);
    f.Set("Scene[2].SUB.delay", 700);
    f.Turn();
    images.push_back(Bytes(*f.image));
    ASSERT_EQ(f.history->Stack().count(), 2);

    ASSERT_TRUE(f.history->Undo());
    EXPECT_EQ(Bytes(*f.image), images[1]);
    ASSERT_TRUE(f.history->Undo());
    EXPECT_EQ(Bytes(*f.image), images[0]);
    EXPECT_FALSE(f.history->Undo());
    f.Turn();
    EXPECT_EQ(f.history->Stack().count(), 2) << "undo writes became steps";
    ASSERT_TRUE(f.history->Redo());
    ASSERT_TRUE(f.history->Redo());
    EXPECT_EQ(Bytes(*f.image), images[2]);
    EXPECT_FALSE(f.history->Redo());

    // A new change after an undo drops what could be redone.
    ASSERT_TRUE(f.history->Undo());
    f.Set("EchoA.repeat", 40);
    f.Turn();
    EXPECT_EQ(f.history->Stack().count(), 2);
    EXPECT_FALSE(f.history->CanRedo());
    ASSERT_TRUE(f.history->Undo());
    EXPECT_EQ(Bytes(*f.image), images[1]);
}

// Everything between BeginStep and EndStep, over many turns, is one step of a few bytes; a
// change made this turn is taken back by an undo asked in the same turn.
TEST(EditHistory, AGestureOfManyTurnsIsOneSmallStep) {
    Fixture f;
    const auto before = Bytes(*f.image);
    f.model->BeginStep();
    for (int i = 1; i <= 1000; ++i) {
        f.Set("MusicRight.bands[2].freqCode", i % 300 + 1);
        f.Turn();
    }
    EXPECT_FALSE(f.history->Undo()) << "undo in the middle of a drag";
    f.model->EndStep();
    ASSERT_EQ(f.history->Stack().count(), 1);
    const auto* step = static_cast<const CHistoryStep*>(f.history->Stack().command(0));
    EXPECT_EQ(step->Runs().runs.size(), 1u);
    EXPECT_LT(f.history->MemoryUsed(), 512u);
    const auto after = Bytes(*f.image);

    f.Set("MusicRight.bands[2].qCode", 9);  // not yet announced
    ASSERT_TRUE(f.history->Undo());
    EXPECT_EQ(f.history->Stack().count(), 2);
    EXPECT_EQ(Bytes(*f.image), after);
    ASSERT_TRUE(f.history->Undo());
    EXPECT_EQ(Bytes(*f.image), before);
}

// An image received from the processor is listed as a wall: undo stops there and says why, the
// steps before it stay listed, and a jump past it (a click in the list) changes nothing.
TEST(EditHistory, UndoDoesNotCrossAReceivedImage) {
    Fixture f;
    f.Set("Mic1.level", 20);
    f.Turn();
    f.Set("Mic1.level", 30);
    f.Turn();
    f.Receive("Mic1.level", 12);
    const auto received = Bytes(*f.image);
    ASSERT_EQ(f.history->Stack().count(), 3);
    EXPECT_FALSE(f.history->CanUndo());
    QSignalSpy refused(f.history.get(), &CEditHistory::Refused);
    EXPECT_FALSE(f.history->Undo());
    ASSERT_EQ(refused.count(), 1);
    EXPECT_FALSE(refused.at(0).at(0).toString().isEmpty());
    EXPECT_EQ(f.history->UndoText(), refused.at(0).at(0).toString());

    EXPECT_FALSE(f.history->GoTo(0));
    EXPECT_EQ(Bytes(*f.image), received);
    f.history->Stack().setIndex(1);  // as the list does
    EXPECT_EQ(f.history->Stack().index(), 3);
    EXPECT_EQ(Bytes(*f.image), received);

    // Edits after the wall undo back to it, not further.
    f.Set("Mic1.level", 33);
    f.Turn();
    ASSERT_TRUE(f.history->Undo());
    EXPECT_EQ(Bytes(*f.image), received);
    EXPECT_FALSE(f.history->Undo());
    ASSERT_TRUE(f.history->Redo());
    EXPECT_EQ(CParamCatalogue::Read(CParamCatalogue::Bytes(*f.image), Field("Mic1.level")), 33u);
}

// A step is named by its field and both values in the language asked for; several fields are
// the step's label and their count.
TEST(EditHistory, StepsAreNamedByTheirFields) {
    Fixture f;
    // -3.0 dB is code 105, +2.4 dB code 132.
    f.Set("MusicLeft.bands[4].gainCode", 105);
    f.Turn();
    f.Set("MusicLeft.bands[4].gainCode", 132);
    f.Turn();
    useChinese = false;
    f.history->ApplyLanguage();
    EXPECT_EQ(f.history->Stack().undoText().toStdString(),
              "Music Left band 5 gain -3.0dB \u2192 +2.4dB");
    EXPECT_EQ(f.history->UndoText().toStdString(),
              "Undo: Music Left band 5 gain -3.0dB \u2192 +2.4dB");
    useChinese = true;
    f.history->ApplyLanguage();
    EXPECT_EQ(f.history->Stack().undoText().toStdString(), "音乐左频段5增益 -3.0dB \u2192 +2.4dB");
    useChinese = false;
    f.history->ApplyLanguage();

    {
        const CImageModel::StepScope step(*f.model, "EQ Reset");
        for (int band = 0; band < 3; ++band) {
            f.model->WriteField(Field(("Mic2.bands[" + std::to_string(band) + "].qCode").c_str()),
                                20, ChangeOrigin::FromControl(2));
        }
    }
    EXPECT_EQ(f.history->Stack().undoText().toStdString(), "EQ Reset (3 fields)");
}

// Every field has a caption of its own in both languages: no two fields read alike, and no
// catalogue spelling (dots, brackets) shows through.
TEST(FieldCaption, EveryFieldReadsAsAPersonNamesIt) {
    for (bool chinese : {false, true}) {
        std::map<std::string, std::string> seen;
        for (const ParamField& f : CParamCatalogue::Fields()) {
            const std::string caption = FieldCaption(f, chinese);
            EXPECT_EQ(caption.find_first_of(".[]"), std::string::npos) << f.name << ": " << caption;
            const auto [at, fresh] = seen.emplace(caption, f.name);
            EXPECT_TRUE(fresh) << f.name << " and " << at->second << " both read " << caption;
        }
    }
    EXPECT_EQ(FieldCaption(Field("Scene[2].SUB.delay"), false), "Scene Disco SUB delay");
    EXPECT_EQ(FieldCaption(Field("System.musicVolume"), false), "Music volume");
    EXPECT_EQ(FieldChangeText(Field("Mic2.limiter.attack"), 0, 3, false).substr(0, 20),
              "Mic 2 limiter attack");
}

}  // namespace
}  // namespace qx
