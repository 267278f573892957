#pragma once
// The editor's session with the processor, without widgets: the link, the device commands
// the pages send, the record of offline work, and what happens when the processor is found,
// read, recalled or lost. It tells the window and the pages through Qt signals, all emitted
// on the user-interface thread; what a person must see of the link itself (forms, boxes)
// goes through the CLinkUi it is given.

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>

#include "DeviceModes.h"

namespace qx {

class CDeviceLink;
class CLinkUi;
class COfflineWork;

class CEditorSession : public QObject {
    Q_OBJECT
  public:
    // musicFolder: where offline work is kept before a connection replaces it.
    explicit CEditorSession(const QString& musicFolder = QStringLiteral("MusicFile"),
                            QObject* parent = nullptr);
    ~CEditorSession() override;

    void SetUi(CLinkUi* ui);
    CDeviceLink& Link() const { return *m_link; }
    const QString& MusicFolder() const { return m_musicFolder; }

    // Disconnects when online, otherwise searches the ports for the processor.
    void ConnectDevice();
    void DisconnectDevice();
    // The only way pages send bulk commands (see CDeviceLink); callers may hold ParamLock.
    void SendDeviceCommand(uint8_t command, uint8_t argument);
    void StartQueueProgress();

    // The editor's image now counts as loaded: offline work is compared with it before a
    // connection replaces the image.
    void NoteImageLoaded();
    // A file import or an offline recall replaced the image on this thread: emits
    // imageReplaced (the window shows it), then notes the image as loaded.
    void ImageReplaced();
    // What the device modes send and refresh through this session.
    DeviceModeHooks ModeHooks();

    // Edits that reached neither the processor nor a file: online, what the processor has
    // not acknowledged; offline, what differs from the image last loaded (defaults, a file,
    // the processor's image when the link ended).
    bool HasUnsavedWork() const;
    // Edits since the image was last loaded (a received program, a recall, a file).
    bool EditedSinceLoaded() const;
    // Closing or logging out: unsaved work goes to MusicFile/offline-....dia and the path
    // is remembered for the next start (see TakeLastSessionNotice). Returns the path, empty
    // when there was nothing to keep or it could not be kept (error then says why).
    QString KeepWorkOnClose(QString* error = nullptr);
    // The path of work kept when the editor last closed, once; "" when none.
    QString TakeLastSessionNotice();

    // After a working link is lost the editor searches again every RetryMs until the
    // processor answers or StopReconnecting is called (the connect button does).
    void SetAutoReconnect(bool on) { m_autoReconnect = on; }
    void SetRetryMs(int ms) { m_retry.setInterval(ms); }
    bool Reconnecting() const { return m_reconnecting; }
    void StopReconnecting();

    // What a connection does with offline work (asked through CAsk when there is some):
    // keep it in a file and load the processor's settings (0, the default), or keep it in a
    // file and send the editor's program to the processor (1).
    static constexpr int kLoadProcessor = 0;
    static constexpr int kSendOfflineWork = 1;

  signals:
    // The processor answered the probe. Offline work has been kept (offlineWorkKept was
    // emitted if there was any) and the reads are about to be queued.
    void deviceFound();
    void linkFailed(int notifyOnFailure);
    void onlineChanged(bool online);
    // The processor's system block was adopted.
    void systemReceived();
    // The processor's current program was adopted and counts as loaded.
    void programReceived();
    // A bank read ended: the processor's programs are in the stored bank.
    void bankReceived();
    // A monitor block arrived (poll command 0x0C or 0x18).
    void monitorReceived(int pollCommand);
    // The person stopped a bank read or write (CDeviceLink::LastStop says what it left).
    void transferStopped();
    // Offline work was kept as a program file at path, or could not be (error not empty).
    void offlineWorkKept(const QString& path, const QString& error);
    // See ImageReplaced.
    void imageReplaced();
    // A bulk command is about to be queued for the processor (online only; emitted at once,
    // possibly with ParamLock held: receivers must not wait for anything).
    void deviceCommandSent(int command, int argument);
    // A working link was lost ("Connection to the processor lost").
    void connectionLost();
    // The background search after a lost link started or ended.
    void reconnectingChanged(bool reconnecting);

  private:
    void KeepOfflineWork();
    void OnConnectionLost();
    void OnOffline();
    void Retry();
    void SetReconnecting(bool on);
    QString NoteFile() const;

    QString m_musicFolder;
    std::unique_ptr<COfflineWork> m_offline;
    std::unique_ptr<CDeviceLink> m_link;
    QTimer m_retry;
    bool m_autoReconnect = true;
    bool m_reconnecting = false;
    bool m_found = false;  // the processor answered on the connection in force
};

}  // namespace qx
