#include "AboutDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qx {

QString CAboutDlg::VersionText() {
    return QStringLiteral("1.0 版");
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于"));
    auto* icon = new QLabel(this);
    if (parent != nullptr && !parent->windowIcon().isNull()) {
        icon->setPixmap(parent->windowIcon().pixmap(32, 32));
    }
    auto* text = new QLabel(
        VersionText() + QStringLiteral("\n") + QStringLiteral("QX Editor " QX_VERSION), this);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(text, 1);
    row->addWidget(ok, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
}

}  // namespace qx
