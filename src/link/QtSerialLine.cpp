#include "QtSerialLine.h"

#include <QThread>

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
