#pragma once
// The System page: volumes and their maxima, inputs, sensitivity, phantom power, remote,
// passwords and the level monitors fed by the idle polls.

#include <atomic>

#include "PageDlg.h"

namespace qx {

class CSysDlg : public CPageDlg {
    Q_OBJECT
  public:
    explicit CSysDlg(QWidget* parent = nullptr);

    // A monitor block arrived (reply command 0x0C or 0x18): show it.
    virtual void ShowMonitor(int replyCommand);
    // Asks for the next monitor block; the serial worker takes the request.
    void RequestMonitor() { m_monitorRequest.store(true); }
    // Called on the serial worker: true once per request while the page is shown.
    bool TakeMonitorRequest() { return m_monitorRequest.exchange(false); }

  private:
    std::atomic<bool> m_monitorRequest{true};
};

}  // namespace qx
