#include "OfflineNotice.h"

#include <QTimer>

#include "TextPair.h"

namespace qx {

namespace {

const TextPair kKeptNotice{"脱机编辑已保存为 ", "Offline work saved as "};
const TextPair kKeepFailed{"脱机编辑未能保存: ", "Offline work could not be saved: "};
const TextPair kSnapshotKept{"%1之前的设置已保存为 ", "The settings before %1 were saved as "};
const TextPair kSnapshotFailed{"%1之前的设置未能保存: ",
                               "The settings before %1 could not be saved: "};
const TextPair kAsideInB{"调用之前的设置在 B 槽中: 按“A/B 比较”即可切换回去",
                         "The settings before the recall are in slot B: press A/B to switch "
                         "back to them"};
const TextPair kLastSession{"上次关闭时未保存的编辑已保存为 ",
                            "Unsaved work from when the editor last closed was saved as "};

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
    Present(text());
}

void COfflineNotice::ShowSnapshot(const QString& path, const QString& error, const QString& why) {
    const std::string w = why.toStdString();
    if (!error.isEmpty()) {
        Present(QString::fromStdString(Tr(kSnapshotFailed, {w})) + error);
    } else if (!path.isEmpty()) {
        Present(QString::fromStdString(Tr(kSnapshotKept, {w})) + path);
    }
}

void COfflineNotice::ShowAsideInB() {
    const QString line = QString::fromUtf8(kAsideInB.Get());
    Present(isHidden() ? line : text() + QStringLiteral("\n") + line);
}

void COfflineNotice::ShowLastSession(const QString& path) {
    if (!path.isEmpty()) {
        Present(QString::fromUtf8(kLastSession.Get()) + path);
    }
}

void COfflineNotice::Present(const QString& shown) {
    setText(shown);
    adjustSize();
    if (parentWidget() != nullptr) {
        move(8, parentWidget()->height() - height() - 8);
    }
    show();
    raise();
    QTimer::singleShot(kShownMs, this, &QWidget::hide);
}

}  // namespace qx
