#pragma once
// The editor's session with the processor, without widgets: the link, the device commands
// the pages send, the record of offline work, and what happens when the processor is found,
// read, recalled or lost. It tells the window and the pages through Qt signals, all emitted
// on the user-interface thread; what a person must see of the link itself (forms, boxes)
// goes through the CLinkUi it is given.

#include <QObject>
#include <QString>
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
    // Offline work was kept as a program file at path, or could not be (error not empty).
    void offlineWorkKept(const QString& path, const QString& error);
    // See ImageReplaced.
    void imageReplaced();
    // A bulk command is about to be queued for the processor (online only; emitted at once,
    // possibly with ParamLock held: receivers must not wait for anything).
    void deviceCommandSent(int command, int argument);

  private:
    void KeepOfflineWork();

    QString m_musicFolder;
    std::unique_ptr<COfflineWork> m_offline;
    std::unique_ptr<CDeviceLink> m_link;
};

}  // namespace qx
