#pragma once
// A session in a MusicFile folder of its own, with a virtual processor on a pseudo-terminal as
// the one port its search finds, for the session suites.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../link/LinkTestSupport.h"
#include "../link/SimOnPty.h"
#include "EditorSession.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "PtyServer.h"
#include "VirtualProcessor.h"

namespace qx::test {

class SessionFixture : public ::testing::Test {
  protected:
    // The processor starts from the editor's defaults; the session tells `ui`.
    void StartSession(linktest::UiRecorder& ui) {
        ResetParameters();
        ASSERT_TRUE(dir.isValid());
        folder = dir.filePath(QStringLiteral("MusicFile"));
        ParamImage start;
        std::memcpy(&start, &ParameterSet, sizeof start);
        processor = std::make_unique<CVirtualProcessor>(start);
        server = std::make_unique<CPtyServer>(*processor);
        ASSERT_TRUE(server->Start());
        session = std::make_unique<CEditorSession>(folder);
        session->SetUi(&ui);
        const std::string path = server->Path();
        session->Link().SetPortSource(
            [path] { return std::vector<PortInfo>{linktest::Port(path)}; });
    }
    void TearDown() override {
        session.reset();
        if (server) {
            server->Stop();
        }
        linkChannel = 0;
        online = false;
        deviceBusy = false;
    }
    QStringList Files(const char* pattern) const {
        return QDir(folder).entryList({QString::fromLatin1(pattern)}, QDir::Files);
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CVirtualProcessor> processor;
    std::unique_ptr<CPtyServer> server;
    std::unique_ptr<CEditorSession> session;
};

}  // namespace qx::test
