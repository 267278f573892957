#pragma once
// The editor's window for the benchmarks that time it: not connected, at its design size,
// shown on one page with its first paint done.

#include <QCoreApplication>
#include <memory>

#include "MivoDlg.h"

namespace qx::bench {

inline std::unique_ptr<CMivoDlg> OpenWindow(int tab) {
    CMivoDlg::Options options;
    options.autoConnect = false;
    options.smallScreen = 0;
    auto window = std::make_unique<CMivoDlg>(options);
    window->show();
    window->SelectTab(tab);
    QCoreApplication::processEvents();
    return window;
}

}  // namespace qx::bench
