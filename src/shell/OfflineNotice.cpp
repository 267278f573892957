#include "OfflineNotice.h"

#include <QTimer>

#include "TextPair.h"

namespace qx {

namespace {

const TextPair kKeptNotice{"脱机编辑已保存为 ", "Offline work saved as "};
const TextPair kKeepFailed{"脱机编辑未能保存: ", "Offline work could not be saved: "};

}  // namespace

COfflineNotice::COfflineNotice(QWidget* parent) : QLabel(parent) {
    setStyleSheet(
        QStringLiteral("QLabel { background: rgb(36,45,46); color: white; padding: 4px; }"));
    hide();
}

void COfflineNotice::ShowKept(const QString& path, const QString& error) {
    if (!error.isEmpty()) {
        setText(QString::fromUtf8(kKeepFailed.Get()) + error);
    } else if (!path.isEmpty()) {
        setText(QString::fromUtf8(kKeptNotice.Get()) + path);
    } else {
        return;
    }
    adjustSize();
    if (parentWidget() != nullptr) {
        move(8, parentWidget()->height() - height() - 8);
    }
    show();
    raise();
    QTimer::singleShot(kShownMs, this, &QWidget::hide);
}

}  // namespace qx
