#include "WorkProgress.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>

#include "TextPair.h"

namespace qx {

bool RunWithProgress(QWidget* parent, const std::string& title,
                     const std::function<void(const WorkProgress&)>& work) {
    auto permille = std::make_shared<std::atomic<int>>(0);
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    QProgressDialog dialog(QString::fromStdString(title), QString::fromUtf8(Tr({"取消", "Cancel"})),
                           0, 1000, parent);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(300);
    QThread* thread = QThread::create([work, permille, cancel]() {
        work([permille, cancel](double done) {
            if (done >= 0.0) {
                permille->store(static_cast<int>(done * 1000.0), std::memory_order_relaxed);
            }
            return !cancel->load(std::memory_order_relaxed);
        });
    });
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    QObject::connect(&dialog, &QProgressDialog::canceled, [cancel]() { cancel->store(true); });
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&dialog, permille]() {
        dialog.setValue(std::min(permille->load(std::memory_order_relaxed), 999));
    });
    tick.start(50);
    thread->start();
    loop.exec();
    thread->wait();
    delete thread;
    tick.stop();
    dialog.reset();
    return !cancel->load();
}

}  // namespace qx
