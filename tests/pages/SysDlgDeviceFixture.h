#pragma once
// The whole editor on its System page against a virtual processor, for the device tests of
// the page's modes and files: the file prompts are answered by the test, errors are kept.

#include <gtest/gtest.h>

#include <QStringList>
#include <QTest>
#include <cstring>
#include <memory>

#include "BitButton.h"
#include "BitComboBox.h"
#include "PagesTestSupport.h"
#include "SysDlg.h"

namespace qx::test {

constexpr int kDeviceWaitMs = 20000;
// Reading or writing all 21 programs takes the link's pauses after every program.
constexpr int kBankWaitMs = 90000;

// Whether the first n bytes of a stored text are those of text.
inline bool Same(const U8* field, const char* text, int n) {
    for (int i = 0; i < n; ++i) {
        if (static_cast<uint8_t>(field[i]) != static_cast<uint8_t>(text[i])) {
            return false;
        }
    }
    return true;
}

class SysDlgDeviceFixture : public ::testing::Test {
  protected:
    // The editor in English with the processor's passwords, which it reads at connection,
    // and a processor that starts from that image.
    void StartProcessor() {
        ResetParameters();
        useChinese = false;
        std::memcpy(&ParameterSet.system.block.systemPassword, "123456", 6);
        std::memcpy(&ParameterSet.system.block.panelPassword, "4321", 4);
        sim = std::make_unique<Sim>();
        ASSERT_TRUE(sim->started);
    }
    // The window on its System page, not yet connected; musicFolder empty for the default.
    void OpenWindow(const QString& musicFolder = QString()) {
        window = std::make_unique<Window>(false, musicFolder);
        page = (*window)->SystemPage();
        CFileOperations::Prompts p;
        p.choosePath = [this](bool, const QString&) { return nextPath; };
        p.showError = [this](const QString&, const QString& text) { errors << text; };
        p.confirm = [](const QString&) { return true; };
        page->Files().SetPrompts(p);
    }
    void TearDown() override {
        window.reset();
        sim.reset();
        storePermission = 0;
    }

    void Click(int id) { QTest::mouseClick(page->Binding().Get<CBitButton>(id), Qt::LeftButton); }
    // Picks a program in the mode list as a person does.
    void Choose(int index) {
        auto* list = page->Binding().Get<CBitComboBox>(CSysDlg::kModeList);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    std::unique_ptr<Sim> sim;
    std::unique_ptr<Window> window;
    CSysDlg* page = nullptr;
    QString nextPath;
    QStringList errors;
};

}  // namespace qx::test
