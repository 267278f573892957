#pragma once
// What the user sees of the link: the lookup, progress and wait forms of the progress dialog
// and the message boxes. The main window implements it with widgets, qxctl as terminal output.
// The link calls every operation on the user-interface thread, except TakeMonitorRequest.

#include <QString>

namespace qx {

class CLinkUi {
  public:
    virtual ~CLinkUi() = default;

    // The lookup form ("Device lookup") while ports are probed.
    virtual void ShowLookup() {}
    // The port the lookup is probing now.
    virtual void ShowPortProbed(const QString& port) { (void)port; }
    // The progress form with a bar of 0..total; SetProgress(total) closes it.
    virtual void StartProgress(int total) { (void)total; }
    virtual void SetProgress(int step) { (void)step; }
    // Called right before StartProgress: whether the transfer may be stopped from its form
    // (CDeviceLink::CancelTransfer). Short transfers are not offered.
    virtual void OfferCancel(bool offered) { (void)offered; }
    // The wait form ("Data transmission") while the processor is busy, and its end.
    virtual void ShowTransfer() {}
    virtual void HideTransfer() {}
    // "Unable to Open Device!" (or its Chinese text).
    virtual void ShowUnableToOpen() {}
    // "Connection to the processor lost": a link that was working failed.
    virtual void ShowConnectionLost() {}
    // The "Application Error" box of a failed serial call.
    virtual void ShowPortError(const QString& text) { (void)text; }
    // The "11" box: a program reply carried another number than asked for. The exchange
    // waits until this returns.
    virtual void ShowWrongProgram() {}
    // Online state changed: refresh the top bar; the System page reloads when visible.
    virtual void ConnectionChanged() {}
    // A store changed the current program: refresh the top bar's program name and button.
    virtual void CurrentProgramChanged() {}
    // Offline bank read: offer to save the bank to a file.
    virtual void SaveBankToFile() {}
    // Called on the serial worker: true when the System page shows and asked for monitor
    // levels; clears the request. Must only touch thread-safe flags.
    virtual bool TakeMonitorRequest() { return false; }
};

}  // namespace qx
