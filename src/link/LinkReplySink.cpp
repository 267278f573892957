#include "LinkReplySink.h"

#include "LinkUi.h"
#include "Messages.h"
#include "SerialPort.h"

namespace qx {

CLinkReplySink::CLinkReplySink(QObject* link, CSerialPort& port) : m_link(link), m_port(port) {}

void CLinkReplySink::DeviceFound() {
    PostMessage(m_link, WM_DEVICE_FOUND, 0, 0);
}

void CLinkReplySink::SystemReceived() {
    PostMessage(m_mainWindow, WM_SYSTEM_RECEIVED, 0, 0);
}

void CLinkReplySink::ParametersReceived() {
    PostMessage(m_mainWindow, WM_PARAMETERS_RECEIVED, 0, 0);
}

void CLinkReplySink::ModesReceived() {
    PostMessage(m_mainWindow, WM_MODES_RECEIVED, 0, 0);
}

void CLinkReplySink::SystemDataReceived(uint8_t pollCommand) {
    PostMessage(m_mainWindow, WM_SYSTEM_DATA_RECEIVED, pollCommand, 0);
}

bool CLinkReplySink::TakeMonitorRequest() {
    CLinkUi* ui = m_ui;
    return m_mainWindow != nullptr && ui != nullptr && ui->TakeMonitorRequest();
}

void CLinkReplySink::WrongProgramNumber() {
    m_port.RequestWrongProgramBox();
}

}  // namespace qx
