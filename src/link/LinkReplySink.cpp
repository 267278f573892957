#include "LinkReplySink.h"

#include "LinkUi.h"
#include "SerialPort.h"

namespace qx {

CLinkReplySink::CLinkReplySink(CSerialPort& port, QObject* parent)
    : QObject(parent), m_port(port) {}

void CLinkReplySink::DeviceFound() {
    emit deviceFound();
}

void CLinkReplySink::SystemReceived() {
    emit systemReceived();
}

void CLinkReplySink::ParametersReceived() {
    emit programReceived();
}

void CLinkReplySink::ModesReceived() {
    emit bankReceived();
}

void CLinkReplySink::SystemDataReceived(uint8_t pollCommand) {
    emit monitorReceived(pollCommand);
}

bool CLinkReplySink::TakeMonitorRequest() {
    CLinkUi* ui = m_ui;
    return ui != nullptr && ui->TakeMonitorRequest();
}

void CLinkReplySink::WrongProgramNumber() {
    m_port.RequestWrongProgramBox();
}

}  // namespace qx
