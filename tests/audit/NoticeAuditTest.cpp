// What the editor logs of the image model's notices: a record per changed field with both
// codes and labels and the cause of the change, a file named once before its fields, nothing
// of the processor's own images, and never a password.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include <unistd.h>

#include "AuditLog.h"
#include "AuditReader.h"
#include "CommProtocol.h"
#include "EditorAudit.h"
#include "ImageModel.h"
#include "NoticeAudit.h"
#include "ParamCatalogue.h"
#include "ParameterSet.h"

namespace qx {
namespace {

namespace fs = std::filesystem;

const ParamField& Field(const char* name) {
    const ParamField* f = CParamCatalogue::Find(name);
    EXPECT_NE(f, nullptr) << name;
    return *f;
}

ImageChange Change(const ParamImage& before, const ParamImage& after, ImageRange range,
                   ChangeOrigin origin, std::string field = {}) {
    ImageChange c;
    c.range = range;
    const uint8_t* b = CParamCatalogue::Bytes(before) + range.offset;
    const uint8_t* a = CParamCatalogue::Bytes(after) + range.offset;
    c.before.assign(b, b + range.size);
    c.after.assign(a, a + range.size);
    c.origin = std::move(origin);
    c.field = std::move(field);
    return c;
}

ImageRange RangeOf(const ParamField& f) {
    return {static_cast<std::size_t>(f.offset), static_cast<std::size_t>(f.width)};
}

TEST(NoticeAuditTest, FieldsCarryCodesLabelsAndCause) {
    auto before = std::make_unique<ParamImage>();
    std::memset(before.get(), 0, sizeof(ParamImage));
    auto after = std::make_unique<ParamImage>(*before);
    const ParamField& gain = Field("MusicLeft.bands[3].gainCode");
    const ParamField& level = Field("Mic1.level");
    CParamCatalogue::Apply(CParamCatalogue::Bytes(*before), gain, {120, {}, false});
    CParamCatalogue::Apply(CParamCatalogue::Bytes(*after), gain, {130, {}, false});
    CParamCatalogue::Apply(CParamCatalogue::Bytes(*after), level, {4, {}, false});

    ImageNotice notice;
    notice.Add(Change(*before, *after, RangeOf(gain), ChangeOrigin::FromControl(12), gain.name));
    notice.Add(Change(*before, *after, RangeOf(level), ChangeOrigin::FromHistory("undo")));
    notice.Add(Change(*before, *after, RangeOf(level), ChangeOrigin::FromProcessor()));
    notice.Add(Change(*before, *after, RangeOf(level), ChangeOrigin::FromRule("clamp")));
    const AuditPlace place{"/dev/pts/9", "B07", 5};
    const std::vector<AuditRecord> records = CNoticeAudit::Records(notice, place);

    ASSERT_EQ(records.size(), 3u);  // the processor's own change is not logged
    EXPECT_EQ(records[0].field, gain.name);
    EXPECT_EQ(records[0].cause, AuditCause::Control);
    EXPECT_TRUE(records[0].hasCodes);
    EXPECT_EQ(records[0].oldCode, 120u);
    EXPECT_EQ(records[0].newCode, 130u);
    EXPECT_EQ(records[0].oldLabel, CParamCatalogue::DisplayCode(gain, 120));
    EXPECT_EQ(records[0].newLabel, CParamCatalogue::DisplayCode(gain, 130));
    EXPECT_EQ(records[0].port, "/dev/pts/9");
    EXPECT_EQ(records[0].room, "B07");
    EXPECT_EQ(records[0].program, 5);
    // A change without a field name is told field by field.
    EXPECT_EQ(records[1].field, level.name);
    EXPECT_EQ(records[1].cause, AuditCause::Undo);
    EXPECT_EQ(records[1].newCode, 4u);
    EXPECT_EQ(records[2].cause, AuditCause::Rule);
}

// A file that replaced the program names the file once, then lists the fields it changed,
// and only those; passwords in a replaced system block show only that they changed.
TEST(NoticeAuditTest, ImportNamesFileThenChangedFieldsOnlyAndHidesPasswords) {
    auto before = std::make_unique<ParamImage>();
    std::memset(before.get(), 0, sizeof(ParamImage));
    std::memcpy(before->system.block.systemPassword, "123456", 6);
    auto after = std::make_unique<ParamImage>(*before);
    std::memcpy(after->system.block.systemPassword, "987654", 6);
    std::memcpy(after->system.block.panelPassword, "4321", 4);
    CParamCatalogue::Apply(CParamCatalogue::Bytes(*after), Field("EchoA.repeat"), {33, {}, false});

    ImageNotice notice;
    notice.Add(Change(*before, *after, {0, sizeof(ProgramImage)},
                      ChangeOrigin::FromFile("rooms/A01.dia")));
    notice.Add(Change(*before, *after, {sizeof(ProgramImage), sizeof(SystemImage)},
                      ChangeOrigin::FromFile("rooms/A01.dia")));
    const std::vector<AuditRecord> records = CNoticeAudit::Records(notice, {});

    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].action, "import");
    EXPECT_EQ(records[0].detail, "rooms/A01.dia");
    EXPECT_EQ(records[1].field, "EchoA.repeat");
    EXPECT_EQ(records[1].cause, AuditCause::File);
    for (std::size_t i = 2; i < records.size(); ++i) {
        EXPECT_NE(records[i].field.find("assword"), std::string::npos) << records[i].field;
        EXPECT_FALSE(records[i].hasCodes);
    }
    for (const AuditRecord& r : records) {
        const std::string line = r.ToJsonLine();
        for (const char* secret : {"123456", "987654", "4321"}) {
            EXPECT_EQ(line.find(secret), std::string::npos) << line;
        }
    }
}

// The editor's recorder: nothing while no processor is connected; once one is, each
// model write is logged when its notice comes, and recalls, stores and password commands
// are logged as what they are, without the password.
class EditorAuditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        path = (fs::temp_directory_path() / ("qx-editor-audit-" + std::to_string(::getpid())))
                   .string();
        fs::remove(path);
        image = std::make_unique<ParamImage>();
        AtomicCopy(image.get(), &ParameterSet, sizeof(ParamImage));
        model = std::make_unique<CImageModel>(*image);
        log = std::make_unique<CAuditLog>(path);
        audit = std::make_unique<CEditorAudit>(*model, *log);
        audit->SetPlace([] { return AuditPlace{"socket://dsp:4001", "", 2}; });
        audit->SetRoom("C12");
    }
    void TearDown() override {
        audit.reset();
        log.reset();
        fs::remove(path);
    }
    std::vector<AuditRecord> Logged() {
        EXPECT_TRUE(log->Flush());
        return CAuditReader::Read(path, {});
    }

    std::string path;
    std::unique_ptr<ParamImage> image;
    std::unique_ptr<CImageModel> model;
    std::unique_ptr<CAuditLog> log;
    std::unique_ptr<CEditorAudit> audit;
};

TEST_F(EditorAuditTest, LogsOnlyWhileConnected) {
    model->WriteField("Mic1.level", 5, ChangeOrigin::FromControl(1));
    model->Flush();
    audit->OnDeviceCommand(kCmdRecall, 4);
    EXPECT_TRUE(audit->SessionRecords().empty());

    audit->SetConnected(true);
    model->WriteField("Mic1.level", 7, ChangeOrigin::FromControl(1));
    QCoreApplication::processEvents();  // the notice comes from the event loop
    model->Flush();
    const std::vector<AuditRecord> logged = Logged();
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].field, "Mic1.level");
    EXPECT_EQ(logged[0].oldCode, 5u);
    EXPECT_EQ(logged[0].newCode, 7u);
    EXPECT_EQ(logged[0].room, "C12");
    EXPECT_EQ(logged[0].port, "socket://dsp:4001");
    EXPECT_EQ(logged[0].tool, "qx-editor");
    EXPECT_EQ(logged[0].session, CAuditLog::SessionId());
    ASSERT_EQ(audit->SessionRecords().size(), 1u);
}

TEST_F(EditorAuditTest, CommandsAreLoggedAndPasswordsNeverAre) {
    audit->SetConnected(true);
    std::memcpy(image->system.block.systemPassword, "135790", 6);
    std::memcpy(image->system.block.panelPassword, "2468", 4);
    audit->OnDeviceCommand(kCmdRecall, 17);
    audit->OnDeviceCommand(kCmdStore, 6);
    // A new system password, then the panel one given again to unlock storing.
    std::memcpy(PasswordScratch.newSystem, "111222", 6);
    audit->OnDeviceCommand(kCmdSystemPassword, 0);
    std::memcpy(PasswordScratch.newPanel, "2468", 4);
    audit->OnDeviceCommand(kCmdPanelPassword, 0);
    audit->OnDeviceCommand(kCmdReadName, 0);  // reads are not logged

    const std::vector<AuditRecord> logged = Logged();
    ASSERT_EQ(logged.size(), 4u);
    EXPECT_EQ(logged[0].action, "recall");
    EXPECT_EQ(logged[0].program, 17);
    EXPECT_EQ(logged[1].action, "store");
    EXPECT_EQ(logged[1].program, 6);
    EXPECT_EQ(logged[2].action, "password");
    EXPECT_EQ(logged[2].detail, "system password");
    EXPECT_EQ(logged[3].action, "unlock");
    std::ifstream in(path);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (const char* secret : {"135790", "2468", "111222"}) {
        EXPECT_EQ(text.find(secret), std::string::npos) << secret;
    }
}

}  // namespace
}  // namespace qx
