#include "QtSerialLine.h"

#include <QFileInfo>
#include <QThread>

#include "TextPair.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>
#endif

namespace qx {

CQtSerialLine::CQtSerialLine() : m_port(std::make_unique<QSerialPort>()) {
    m_home = m_port->thread();
}

CQtSerialLine::~CQtSerialLine() {
    if (m_port->isOpen()) {
        m_port->close();
    }
}

bool CQtSerialLine::Open(const QString& portName) {
    m_port->setPortName(portName);
    m_lost = false;
    return m_port->open(QIODevice::ReadWrite);
}

QString CQtSerialLine::OpenFailureText(const QString& path) {
    static constexpr TextPair kNoSuchFile{"没有这个文件", "no such file"};
    static constexpr TextPair kNotSerial{"不是串口", "not a serial port"};
    static constexpr TextPair kDenied{
        "没有权限（使用串口需要加入 dialout 组：sudo adduser $USER dialout，然后重新登录）",
        "permission denied (serial ports need membership of the dialout group: "
        "sudo adduser $USER dialout, then log in again)"};
    const QString prefix = path + QStringLiteral(": ");
#ifdef Q_OS_UNIX
    // Checked by hand first: Qt reports a file that is no terminal only as a generic error.
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return prefix + QString::fromUtf8(kNoSuchFile.Get());
        }
        if (error == EACCES || error == EPERM) {
            return prefix + QString::fromUtf8(kDenied.Get());
        }
        return prefix + QString::fromLocal8Bit(std::strerror(error));
    }
    const bool terminal = ::isatty(fd) != 0;
    ::close(fd);
    if (!terminal) {
        return prefix + QString::fromUtf8(kNotSerial.Get());
    }
#endif
    QSerialPort port;
    port.setPortName(path);
    if (port.open(QIODevice::ReadWrite)) {
        port.close();
        return {};
    }
    switch (port.error()) {
        case QSerialPort::DeviceNotFoundError:
            return prefix +
                   QString::fromUtf8((QFileInfo::exists(path) ? kNotSerial : kNoSuchFile).Get());
        case QSerialPort::PermissionError:
            return prefix + QString::fromUtf8(kDenied.Get());
        default:
            return prefix + port.errorString();
    }
}

void CQtSerialLine::NoteError() {
    switch (m_port->error()) {
        case QSerialPort::ResourceError:
        case QSerialPort::DeviceNotFoundError:
        case QSerialPort::PermissionError:
        case QSerialPort::NotOpenError:
            m_lost = true;
            break;
        default:
            break;
    }
    if (!m_port->isOpen()) {
        m_lost = true;
    }
}

bool CQtSerialLine::Write(const uint8_t* bytes, int count, int timeoutMs) {
    const qint64 n = m_port->write(reinterpret_cast<const char*>(bytes), count);
    if (n != count) {
        NoteError();
        return false;
    }
    while (m_port->bytesToWrite() > 0) {
        if (!m_port->waitForBytesWritten(timeoutMs)) {
            NoteError();
            return false;
        }
    }
    return true;
}

bool CQtSerialLine::WaitForInput(int timeoutMs) {
    if (m_port->bytesAvailable() > 0) {
        return true;
    }
    if (m_port->waitForReadyRead(timeoutMs)) {
        return true;
    }
    if (m_port->error() != QSerialPort::NoError && m_port->error() != QSerialPort::TimeoutError) {
        NoteError();
    }
    return m_port->bytesAvailable() > 0;
}

int CQtSerialLine::BytesAvailable() {
    if (m_port->bytesAvailable() == 0) {
        // Fetch what the driver holds without waiting.
        m_port->waitForReadyRead(0);
        if (m_port->error() != QSerialPort::NoError &&
            m_port->error() != QSerialPort::TimeoutError) {
            NoteError();
        }
    }
    return static_cast<int>(m_port->bytesAvailable());
}

int CQtSerialLine::Read(uint8_t* buffer, int max) {
    const qint64 n = m_port->read(reinterpret_cast<char*>(buffer), max);
    if (n < 0) {
        NoteError();
        return -1;
    }
    return static_cast<int>(n);
}

void CQtSerialLine::Purge() {
    if (m_port->isOpen()) {
        m_port->clear(QSerialPort::AllDirections);
    }
}

void CQtSerialLine::PurgeInput() {
    if (m_port->isOpen()) {
        m_port->clear(QSerialPort::Input);
    }
}

void CQtSerialLine::ClearError() {
    if (m_port->error() != QSerialPort::NoError) {
        NoteError();
        m_port->clearError();
    }
}

bool CQtSerialLine::Lost() {
    return m_lost || !m_port->isOpen();
}

QString CQtSerialLine::ErrorText() {
    return m_port->errorString();
}

void CQtSerialLine::MoveToWorker(void* thread) {
    m_home = m_port->thread();
    m_port->moveToThread(static_cast<QThread*>(thread));
}

void CQtSerialLine::ReturnFromWorker() {
    m_port->moveToThread(m_home);
}

}  // namespace qx
