#include "Show_Dlg.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QTimerEvent>
#include <memory>
#include <utility>

#include "ByteField.h"
#include "DeviceLink.h"
#include "DialogUnits.h"
#include "LinkState.h"
#include "MivoDlg.h"
#include "ParameterSet.h"
#include "ProgramFile.h"
#include "QtTranslations.h"
#include "SysDlg.h"
#include "TextPair.h"
#include "TransferStop.h"

namespace qx {

namespace {

const TextPair kLookupText{"设备查找中", "Device lookup"};
const TextPair kLookupCaption{"设备查找中", "Device lookup "};
const TextPair kTransferCaption{"数据传输", "Data transmission"};
const TextPair kTransferText{"数据正在传输中", "Data transmission"};
const TextPair kProbing{"设备查找中: %1", "Device lookup: %1"};
const TextPair kProgramStep{"程序 %1 / %2 (%3%)", "Program %1 of %2 (%3%)"};
const TextPair kFrameStep{"数据 %1 / %2 (%3%)", "Block %1 of %2 (%3%)"};
const TextPair kApplicationError{"应用程序错误", "Application Error"};
const TextPair kUnableToOpen{"不能打开设备!", "Unable to Open Device!"};
const TextPair kBankFiles{"全部程序 (*.dat)", "All programs (*.dat)"};
const TextPair kCancel{"取消", "Cancel"};
const TextPair kStopping{"正在停止：线路上的程序写完后读回处理器的内容",
                         "Stopping: the program on the line is finished, then read back"};

QString Utf8(const TextPair& pair) {
    return QString::fromUtf8(pair.Get());
}

}  // namespace

CShow_Dlg::CShow_Dlg(CMivoDlg* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_main(mainWindow),
      m_text(new QLabel(this)),
      m_bar(new QProgressBar(this)),
      m_cancel(new QPushButton(this)),
      m_escape(new QShortcut(QKeySequence(Qt::Key_Escape), this)) {
    setModal(false);
    m_text->setObjectName(QStringLiteral("1413"));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setGeometry(CDialogUnits::ToPixels(7, 10, 173, 12));
    m_bar->setObjectName(QStringLiteral("1411"));
    m_bar->setGeometry(CDialogUnits::ToPixels(7, 28, 173, 12));
    m_bar->setTextVisible(false);
    m_bar->hide();
    m_cancel->setObjectName(QStringLiteral("cancelTransfer"));
    m_cancel->setGeometry(CDialogUnits::ToPixels(68, 47, 50, 14));
    connect(m_cancel, &QPushButton::clicked, this, &CShow_Dlg::Cancel);
    // Escape reaches the form even while the focus stays in the (disabled) main window.
    m_escape->setContext(Qt::ApplicationShortcut);
    connect(m_escape, &QShortcut::activated, this, &CShow_Dlg::Cancel);
    LayOut(false);
    hide();
}

void CShow_Dlg::LayOut(bool withCancel) {
    setFixedSize(CDialogUnits::ToPixels(QSize(187, withCancel ? 68 : 55)));
    m_cancel->setText(Utf8(kCancel));
    m_cancel->setEnabled(withCancel);
    m_cancel->setVisible(withCancel);
    m_escape->setEnabled(withCancel);
}

bool CShow_Dlg::CancelShown() const {
    return m_form == kProgress && m_cancelOffered && m_cancel->isEnabled();
}

void CShow_Dlg::reject() {
    Cancel();
}

void CShow_Dlg::OfferCancel(bool offered) {
    m_cancelOffered = offered;
}

void CShow_Dlg::Cancel() {
    if (!CancelShown()) {
        return;
    }
    const TransferStop stop = m_main->Link().CancelTransfer();
    if (!stop.Stopped()) {
        // Too late: its last frame is on the line and it finishes by itself.
        m_cancel->setEnabled(false);
        m_escape->setEnabled(false);
        return;
    }
    m_stopText = QString::fromStdString(TransferStopText(stop));
    if (stop.kind == TransferKind::kBankWrite) {
        // The link reads back what the processor holds; the wait form stays until it has.
        ShowWaitForm();
        m_text->setText(Utf8(kStopping));
    } else {
        HideAll();
    }
}

int CShow_Dlg::Step() const {
    return m_bar->value();
}

QString CShow_Dlg::Line() const {
    return m_text->isVisible() ? m_text->text() : QString();
}

void CShow_Dlg::Centre() {
    QWidget* area = m_main->Client() != nullptr ? static_cast<QWidget*>(m_main) : nullptr;
    if (area == nullptr) {
        return;
    }
    const QPoint centre = area->mapToGlobal(area->rect().center());
    move(centre - QPoint(width() / 2, height() / 2));
}

void CShow_Dlg::Present(Form form) {
    m_form = form;
    Centre();
    if (m_main->Client() != nullptr) {
        m_main->Client()->setEnabled(false);
    }
    show();
    raise();
}

void CShow_Dlg::HideAll() {
    m_form = kHidden;
    m_cancelOffered = false;
    m_waitAfter = false;
    LayOut(false);
    if (!m_stopText.isEmpty()) {
        const QString text = std::exchange(m_stopText, QString());
        QMetaObject::invokeMethod(
            this, [this, text] { Box(CMivoDlg::Title(), text); }, Qt::QueuedConnection);
    }
    m_lookupTimer.stop();
    m_transferTimer.stop();
    if (m_main->Client() != nullptr) {
        m_main->Client()->setEnabled(true);
    }
    hide();
}

void CShow_Dlg::ShowLookup() {
    m_text->setText(Utf8(kLookupText));
    setWindowTitle(Utf8(kLookupCaption));
    m_bar->hide();
    m_text->show();
    m_transferTimer.stop();
    m_lookupTimer.start(kLookupPeriodMs, this);
    Present(kLookup);
}

void CShow_Dlg::ShowPortProbed(const QString& port) {
    if (m_form == kLookup) {
        m_text->setText(QString::fromStdString(Tr(kProbing, {port.toStdString()})));
    }
}

void CShow_Dlg::ShowStep(int step) {
    const int percent = m_total > 0 ? step * 100 / m_total : 100;
    // The whole bank moves one program a frame.
    const TextPair& what = m_total == kProgramCount ? kProgramStep : kFrameStep;
    m_text->setText(QString::fromStdString(
        Tr(what, {std::to_string(step), std::to_string(m_total), std::to_string(percent)})));
}

void CShow_Dlg::StartProgress(int total) {
    m_total = total;
    m_steps.clear();
    // The progress form replaces the lookup form; the lookup's own end no longer applies.
    m_lookupTimer.stop();
    m_bar->show();
    m_text->show();
    m_bar->setRange(0, total);
    m_bar->setValue(0);
    ShowStep(0);
    setWindowTitle(Utf8(kTransferCaption));
    m_waitAfter = false;
    LayOut(m_cancelOffered);
    Present(kProgress);
}

void CShow_Dlg::SetProgress(int step) {
    m_steps.push_back(step);
    if (m_form != kProgress) {
        return;  // the last frame of a stopped transfer, or a form another one replaced
    }
    m_bar->setValue(step);
    ShowStep(step);
    if (step == m_total) {
        if (m_waitAfter) {
            ShowWaitForm();
        } else {
            HideAll();
        }
    }
}

void CShow_Dlg::ShowTransfer() {
    if (m_form == kProgress && Step() < m_total) {
        // A recall queued behind the transfer: the bar (and its Cancel) stay until it ends.
        m_waitAfter = true;
        return;
    }
    ShowWaitForm();
}

void CShow_Dlg::ShowWaitForm() {
    LayOut(false);
    m_text->setText(Utf8(kTransferText));
    setWindowTitle(Utf8(kTransferCaption));
    m_bar->hide();
    m_text->show();
    m_transferTimer.start(kTransferPeriodMs, this);
    Present(kTransfer);
}

void CShow_Dlg::HideTransfer() {
    HideAll();
}

void CShow_Dlg::timerEvent(QTimerEvent* event) {
    if (m_lingering) {
        return;
    }
    if (event->timerId() == m_lookupTimer.timerId() && !portsPending) {
        // The lookup ended without a device: the form stays a moment so it is seen.
        m_lingering = true;
        QTimer::singleShot(kLookupLingerMs, this, [this] {
            m_lingering = false;
            if (m_form == kLookup) {
                HideAll();
            }
        });
    } else if (event->timerId() == m_transferTimer.timerId() && !deviceBusy) {
        m_lingering = true;
        QTimer::singleShot(kTransferLingerMs, this, [this] {
            m_lingering = false;
            if (m_form == kTransfer) {
                HideTransfer();
            }
        });
    }
}

void CShow_Dlg::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void CShow_Dlg::Box(const QString& caption, const QString& text) {
    if (m_reporter) {
        m_reporter(caption, text);
        return;
    }
    CQtTranslations::Follow(useChinese);  // the box's own button in the language in force
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, m_main);
    box.exec();
}

void CShow_Dlg::ShowUnableToOpen() {
    // Shown from the event loop, after whatever reported it has let go of its locks.
    const QString text = Utf8(kUnableToOpen);
    QMetaObject::invokeMethod(
        this, [this, text] { Box(CMivoDlg::Title(), text); }, Qt::QueuedConnection);
}

void CShow_Dlg::ShowConnectionLost() {
    // The editor searches again by itself; the box only says what happened.
    static constexpr TextPair kLost{"与处理器的连接已中断，正在重新连接。",
                                    "Connection to the processor lost. Reconnecting."};
    const QString text = Utf8(kLost);
    QMetaObject::invokeMethod(
        this, [this, text] { Box(CMivoDlg::Title(), text); }, Qt::QueuedConnection);
}

void CShow_Dlg::ShowPortError(const QString& text) {
    QMetaObject::invokeMethod(
        this, [this, text] { Box(Utf8(kApplicationError), text); }, Qt::QueuedConnection);
}

void CShow_Dlg::ShowWrongProgram() {
    // The worker waits, unlocked, until this box is closed.
    Box(CMivoDlg::Title(), QStringLiteral("11"));
}

void CShow_Dlg::ConnectionChanged() {
    m_main->RefreshTopBar(true);
    if (currentTab == CMivoDlg::kSystemTab && m_main->SystemPage() != nullptr) {
        m_main->SystemPage()->RefreshFromParameters();
    }
}

void CShow_Dlg::CurrentProgramChanged() {
    m_main->RefreshTopBar(true);
}

void CShow_Dlg::SaveBankToFile() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_reporter) {
                m_reporter(QString(), QStringLiteral("save bank"));
                return;
            }
            const QString path =
                QFileDialog::getSaveFileName(m_main, QString(), QString::fromUtf8(kMusicFolder),
                                             QString::fromUtf8(kBankFiles.Get()));
            if (path.isEmpty()) {
                return;
            }
            auto bank = std::make_unique<BankImage>();
            {
                ParamGuard guard(ParamLock);
                AtomicCopy(bank.get(), &ProgramBank, sizeof(BankImage));
            }
            const FileResult r =
                CProgramFile::WriteBank(CProgramFile::BankFilePath(path.toStdString()), *bank);
            if (!r.ok) {
                Box(QString::fromUtf8(kWriteError), QString::fromStdString(r.error));
            }
        },
        Qt::QueuedConnection);
}

bool CShow_Dlg::TakeMonitorRequest() {
    // On the serial worker: only the atomic tab number and the page's atomic flag are read.
    CSysDlg* page = m_main->SystemPage();
    return currentTab == CMivoDlg::kSystemTab && page != nullptr && page->TakeMonitorRequest();
}

}  // namespace qx
