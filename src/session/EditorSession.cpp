#include "EditorSession.h"

#include <QDir>
#include <QFile>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "Ask.h"
#include "ByteField.h"
#include "DeviceLink.h"
#include "LinkState.h"
#include "OfflineWork.h"
#include "ParameterSet.h"
#include "Snapshot.h"
#include "TextPair.h"

namespace qx {

namespace {

constexpr TextPair kOfflineCaption{"脱机编辑", "Offline work"};
constexpr TextPair kOfflineQuestion{
    "编辑器有尚未发送到处理器的脱机编辑。\n它将保存为文件: %1\n\n"
    "载入处理器的设置，还是把脱机编辑发送到处理器?",
    "The editor holds offline work the processor has not received.\nIt is kept as a file: "
    "%1\n\nLoad the processor's settings, or send the offline work to the processor?"};
constexpr TextPair kLoadProcessorText{"载入处理器的设置", "Load the processor's settings"};
constexpr TextPair kSendOffline{"发送脱机编辑", "Send the offline work"};

// Where the path of work kept on closing waits for the next start.
constexpr const char* kNoteName = ".offline-work-kept";

bool SameAsSent() {
    auto now = std::make_unique<ParamImage>();
    auto sent = std::make_unique<ParamImage>();
    ParamGuard guard(ParamLock);
    AtomicCopy(now.get(), &ParameterSet, sizeof(ParamImage));
    AtomicCopy(sent.get(), &SentImage, sizeof(ParamImage));
    return std::memcmp(now.get(), sent.get(), sizeof(ParamImage)) == 0;
}

}  // namespace

CEditorSession::CEditorSession(const QString& musicFolder, QObject* parent)
    : QObject(parent),
      m_musicFolder(musicFolder),
      m_offline(std::make_unique<COfflineWork>()),
      m_link(std::make_unique<CDeviceLink>()) {
    m_offline->NoteLoaded(ParameterSet);
    CSnapshot::Instance().SetFolder(m_musicFolder);
    CSnapshot::Instance().SetEditedTest([this] { return EditedSinceLoaded(); });
    m_retry.setSingleShot(true);
    m_retry.setInterval(3000);
    connect(&m_retry, &QTimer::timeout, this, &CEditorSession::Retry);
    CDeviceLink* link = m_link.get();
    // Direct: the link emits deviceFound before it queues the reads that replace the image,
    // so the offline work is kept from the image as the person left it.
    connect(
        link, &CDeviceLink::deviceFound, this,
        [this] {
            m_found = true;
            SetReconnecting(false);
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
    connect(link, &CDeviceLink::connectionLost, this, &CEditorSession::OnConnectionLost);
    connect(link, &CDeviceLink::linkFailed, this, [this](int notifyOnFailure) {
        // A background search that found nothing tries again later.
        if (m_reconnecting && !online) {
            m_retry.start();
        }
        emit linkFailed(notifyOnFailure);
    });
    connect(link, &CDeviceLink::onlineChanged, this, [this](bool on) {
        if (!on) {
            OnOffline();
        }
        emit onlineChanged(on);
    });
    connect(link, &CDeviceLink::systemReceived, this, &CEditorSession::systemReceived);
    connect(link, &CDeviceLink::bankReceived, this, &CEditorSession::bankReceived);
    connect(link, &CDeviceLink::monitorReceived, this, &CEditorSession::monitorReceived);
    connect(link, &CDeviceLink::transferStopped, this, &CEditorSession::transferStopped);
}

CEditorSession::~CEditorSession() {
    CSnapshot::Instance().SetEditedTest({});
    m_retry.stop();
    m_link->SetUi(nullptr);
    m_link.reset();  // stops the worker and closes the port
}

void CEditorSession::SetUi(CLinkUi* ui) {
    m_link->SetUi(ui);
}

void CEditorSession::ConnectDevice() {
    // While the editor searches by itself, the button stops the search.
    if (m_reconnecting) {
        StopReconnecting();
        return;
    }
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

void CEditorSession::OnConnectionLost() {
    emit connectionLost();
    if (m_autoReconnect) {
        SetReconnecting(true);
        m_retry.start();
    }
}

void CEditorSession::OnOffline() {
    // What the processor acknowledged is what it holds: only edits beyond that are offline
    // work (a failed search leaves the image as the person left it).
    if (m_found) {
        m_offline->NoteLoaded(SentImage);
    }
    m_found = false;
}

void CEditorSession::Retry() {
    if (!m_reconnecting || online) {
        return;
    }
    if (!m_link->Reconnect()) {
        m_retry.start();  // no port to try yet (an adapter unplugged)
    }
}

void CEditorSession::SetReconnecting(bool on) {
    if (on == m_reconnecting) {
        return;
    }
    m_reconnecting = on;
    if (!on) {
        m_retry.stop();
    }
    emit reconnectingChanged(on);
}

void CEditorSession::StopReconnecting() {
    const bool searching = m_reconnecting && online && !m_found;
    SetReconnecting(false);
    if (searching) {
        m_link->DisconnectDevice();
    }
}

bool CEditorSession::EditedSinceLoaded() const {
    return m_offline->Changed(ParameterSet);
}

bool CEditorSession::HasUnsavedWork() const {
    if (online && m_found) {
        return !SameAsSent();
    }
    return m_offline->Changed(ParameterSet);
}

QString CEditorSession::NoteFile() const {
    return QDir(m_musicFolder).filePath(QString::fromLatin1(kNoteName));
}

QString CEditorSession::KeepWorkOnClose(QString* error) {
    if (!HasUnsavedWork()) {
        return {};
    }
    auto image = std::make_unique<ParamImage>();
    {
        ParamGuard guard(ParamLock);
        AtomicCopy(image.get(), &ParameterSet, sizeof(ParamImage));
    }
    std::error_code ec;
    std::filesystem::create_directories(m_musicFolder.toStdString(), ec);
    const QString path =
        CSnapshot::DatedPath(m_musicFolder, "offline", kProgramExtension, std::time(nullptr));
    const FileResult r = CProgramFile::WriteProgram(path.toStdString(), *image);
    if (!r.ok) {
        if (error != nullptr) {
            *error = QString::fromStdString(r.error);
        }
        return {};
    }
    QFile note(NoteFile());
    if (note.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        note.write(path.toUtf8());
    }
    m_offline->NoteLoaded(*image);
    return path;
}

QString CEditorSession::TakeLastSessionNotice() {
    QFile note(NoteFile());
    if (!note.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QString path = QString::fromUtf8(note.readAll()).trimmed();
    note.close();
    note.remove();
    return QFile::exists(path) ? path : QString();
}

void CEditorSession::KeepOfflineWork() {
    if (!m_offline->Changed(ParameterSet)) {
        return;
    }
    std::string path;
    const FileResult r = m_offline->KeepIfChanged(ParameterSet, m_musicFolder.toStdString(),
                                                  std::time(nullptr), path);
    if (!r.ok) {
        emit offlineWorkKept(QString(), QString::fromStdString(r.error));
    } else if (!path.empty()) {
        emit offlineWorkKept(QString::fromStdString(path), QString());
    }
    CAsk::Question q;
    q.caption = QString::fromUtf8(kOfflineCaption.Get());
    q.text = QString::fromStdString(Tr(kOfflineQuestion, {path.empty() ? r.error : path}));
    q.choices = {{CAsk::Custom, QString::fromUtf8(kLoadProcessorText.Get())},
                 {CAsk::Custom, QString::fromUtf8(kSendOffline.Get())}};
    q.byDefault = q.escape = q.unattended = kLoadProcessor;
    if (CAsk::Ask(q) == kSendOfflineWork) {
        m_link->SendProgramOnConnect(true);
        // The program goes out whole: it counts as the processor's from now on.
        m_offline->NoteLoaded(ParameterSet);
    }
}

}  // namespace qx
