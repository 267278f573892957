#pragma once
// A serial port through Qt Serial Port, used with blocking waits on the worker thread.

#include <QSerialPort>
#include <memory>

#include "SerialLine.h"

namespace qx {

class CQtSerialLine : public CSerialLine {
  public:
    CQtSerialLine();
    ~CQtSerialLine() override;

    // Opens the port by name or path. False (with ErrorText) when it cannot be opened.
    bool Open(const QString& portName);
    // Why the device at path cannot serve as a serial port, as "<path>: <reason>" in the
    // language in force ("/dev/null: not a serial port", "/x: no such file", permission
    // denied with the dialout hint); empty when it opens as one. Opens and closes it to see.
    static QString OpenFailureText(const QString& path);
    QSerialPort& Port() { return *m_port; }

    bool Write(const uint8_t* bytes, int count, int timeoutMs) override;
    bool WaitForInput(int timeoutMs) override;
    int BytesAvailable() override;
    int Read(uint8_t* buffer, int max) override;
    void Purge() override;
    void PurgeInput() override;
    void ClearError() override;
    bool Lost() override;
    QString ErrorText() override;
    void MoveToWorker(void* thread) override;
    void ReturnFromWorker() override;

  private:
    void NoteError();

    std::unique_ptr<QSerialPort> m_port;
    QThread* m_home = nullptr;
    bool m_lost = false;
};

}  // namespace qx
