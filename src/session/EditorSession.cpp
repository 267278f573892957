#include "EditorSession.h"

#include <ctime>
#include <string>

#include "DeviceLink.h"
#include "LinkState.h"
#include "OfflineWork.h"
#include "ParameterSet.h"

namespace qx {

CEditorSession::CEditorSession(const QString& musicFolder, QObject* parent)
    : QObject(parent),
      m_musicFolder(musicFolder),
      m_offline(std::make_unique<COfflineWork>()),
      m_link(std::make_unique<CDeviceLink>()) {
    m_offline->NoteLoaded(ParameterSet);
    CDeviceLink* link = m_link.get();
    // Direct: the link emits deviceFound before it queues the reads that replace the image,
    // so the offline work is kept from the image as the person left it.
    connect(
        link, &CDeviceLink::deviceFound, this,
        [this] {
            KeepOfflineWork();
            emit deviceFound();
        },
        Qt::DirectConnection);
    // Direct: the received program counts as loaded before anyone is told of it.
    connect(
        link, &CDeviceLink::programReceived, this,
        [this] {
            NoteImageLoaded();
            emit programReceived();
        },
        Qt::DirectConnection);
    connect(link, &CDeviceLink::linkFailed, this, &CEditorSession::linkFailed);
    connect(link, &CDeviceLink::onlineChanged, this, &CEditorSession::onlineChanged);
    connect(link, &CDeviceLink::systemReceived, this, &CEditorSession::systemReceived);
    connect(link, &CDeviceLink::bankReceived, this, &CEditorSession::bankReceived);
    connect(link, &CDeviceLink::monitorReceived, this, &CEditorSession::monitorReceived);
}

CEditorSession::~CEditorSession() {
    m_link->SetUi(nullptr);
    m_link.reset();  // stops the worker and closes the port
}

void CEditorSession::SetUi(CLinkUi* ui) {
    m_link->SetUi(ui);
}

void CEditorSession::ConnectDevice() {
    m_link->ConnectDevice();
}

void CEditorSession::DisconnectDevice() {
    m_link->DisconnectDevice();
}

void CEditorSession::SendDeviceCommand(uint8_t command, uint8_t argument) {
    if (online) {
        emit deviceCommandSent(command, argument);
    }
    m_link->SendDeviceCommand(command, argument);
}

void CEditorSession::StartQueueProgress() {
    m_link->StartQueueProgress();
}

void CEditorSession::NoteImageLoaded() {
    m_offline->NoteLoaded(ParameterSet);
}

void CEditorSession::ImageReplaced() {
    emit imageReplaced();
    NoteImageLoaded();
}

DeviceModeHooks CEditorSession::ModeHooks() {
    DeviceModeHooks hooks;
    hooks.sendDeviceCommand = [this](uint8_t c, uint8_t a) { SendDeviceCommand(c, a); };
    hooks.startQueueProgress = [this] { StartQueueProgress(); };
    hooks.refresh = [this] { ImageReplaced(); };
    return hooks;
}

void CEditorSession::KeepOfflineWork() {
    std::string path;
    const FileResult r = m_offline->KeepIfChanged(ParameterSet, m_musicFolder.toStdString(),
                                                  std::time(nullptr), path);
    if (!r.ok) {
        emit offlineWorkKept(QString(), QString::fromStdString(r.error));
    } else if (!path.empty()) {
        emit offlineWorkKept(QString::fromStdString(path), QString());
    }
}

}  // namespace qx
