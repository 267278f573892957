#include "FileOperations.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QWidget>
#include <ctime>
#include <memory>

#include "Ask.h"
#include "LinkState.h"
#include "ParamCatalogue.h"
#include "ParameterSet.h"
#include "Snapshot.h"
#include "TextPair.h"

namespace qx {

namespace {

constexpr TextPair kRangeHead{"文件中有超出范围的参数:",
                              "The file holds values outside their range:"};
constexpr TextPair kRangeMore{"以及另外 %1 个", "and %1 more"};
constexpr TextPair kRangeQuestion{"仍然导入吗?", "Import it all the same?"};
constexpr TextPair kRangeCaption{"导入", "Import"};
constexpr TextPair kStoreCaption{"保存设备模式", "Store Mode"};
constexpr TextPair kOverwriteNamed{"覆盖程序 %1 '%2' 吗?", "Overwrite program %1 '%2'?"};
constexpr TextPair kOverwrite{"覆盖程序 %1 吗?", "Overwrite program %1?"};
constexpr TextPair kBeforeRecall{"调用", "the recall"};
constexpr TextPair kImportAllCaption{"导入所有", "Import all"};
constexpr TextPair kImportAllQuestion{
    "处理器的全部 21 个程序和系统设置将被文件 %1 替换。\n"
    "处理器原有的程序和系统设置已备份到: %2\n\n处理器的密码保留不变，除非选择同时替换密码。",
    "All 21 programs and the system settings of the processor will be replaced by the file "
    "%1.\nThe processor's programs and system settings were backed up to: %2\n\n"
    "The processor's passwords are kept unless you choose to replace them too."};
constexpr TextPair kReplaceKeep{"替换，保留密码", "Replace, keep passwords"};
constexpr TextPair kReplaceAll{"替换，包括密码", "Replace, passwords too"};
constexpr TextPair kBackupFailed{"备份失败，未导入: ", "The backup failed; nothing was imported: "};

QString Utf8(const TextPair& pair) {
    return QString::fromUtf8(pair.Get());
}

// The headline of a file error ("File read Error: <path>: <reason>").
QString Headline(const std::string& message) {
    const std::size_t colon = message.find(':');
    return QString::fromStdString(colon == std::string::npos ? message : message.substr(0, colon));
}

}  // namespace

CFileOperations::CFileOperations(QWidget* owner, DeviceModeHooks hooks)
    : m_owner(owner),
      m_modes(std::move(hooks)),
      m_folder(QString::fromStdString(
          CProgramFile::MusicFileFolder(QDir::currentPath().toStdString()))) {
    m_prompts.choosePath = [this](bool save, const QString& filter) {
        return save ? QFileDialog::getSaveFileName(m_owner, QString(), m_folder, filter)
                    : QFileDialog::getOpenFileName(m_owner, QString(), m_folder, filter);
    };
    m_prompts.showError = [this](const QString& caption, const QString& text) {
        QMessageBox::warning(m_owner, caption, text);
    };
    m_prompts.confirm = [](const QString& text) {
        return CAsk::Confirm(Utf8(kRangeCaption), text);
    };
    m_modes.SetClampOnImport(true);
}

QString CFileOperations::OverwriteQuestion(int program) {
    std::string name;
    if (program >= 1 && program <= kProgramCount) {
        ParamGuard guard(ParamLock);
        name = CDeviceModes::ShownName(ProgramBank.programs[program - 1].name);
    }
    const std::string label = CDeviceModes::ProgramLabel(program);
    return QString::fromStdString(name.empty() ? Tr(kOverwrite, {label})
                                               : Tr(kOverwriteNamed, {label, name}));
}

QString CFileOperations::ChoosePath(bool save, const char* extension) {
    return m_prompts.choosePath(save, QStringLiteral("*") + QString::fromLatin1(extension));
}

void CFileOperations::Report(const ModeResult& result) {
    if (result.status == ModeResult::kFailed || result.status == ModeResult::kRefused) {
        m_prompts.showError(Headline(result.message), QString::fromStdString(result.message));
    }
}

QString CFileOperations::RangeWarning(const std::vector<std::string>& names) {
    QString text = Utf8(kRangeHead);
    const int n = static_cast<int>(names.size());
    for (int i = 0; i < n && i < kNamedFields; ++i) {
        text += QStringLiteral("\n  ") + QString::fromStdString(names[static_cast<std::size_t>(i)]);
    }
    if (n > kNamedFields) {
        text += QStringLiteral("\n  ") + Utf8(kRangeMore).arg(n - kNamedFields);
    }
    return text + QStringLiteral("\n") + Utf8(kRangeQuestion);
}

bool CFileOperations::ConfirmRanges(const std::vector<std::string>& names) {
    return names.empty() || m_prompts.confirm(RangeWarning(names));
}

void CFileOperations::Recall(int program) {
    // Unstored edits are kept before the recall replaces them.
    if (program >= 1 && program <= kProgramCount && (online || ProgramBank.bankValid != 0)) {
        CSnapshot::Instance().KeepIfEdited(kBeforeRecallStem, kBeforeRecall);
    }
    Report(m_modes.RecallProgram(program));
}

void CFileOperations::Store(int program, const QString& name) {
    if (online && program >= 1 && program <= kStorablePrograms &&
        !CAsk::Confirm(Utf8(kStoreCaption), OverwriteQuestion(program))) {
        return;
    }
    Report(m_modes.StoreProgram(program, name.toStdString()));
}

void CFileOperations::ExportProgram() {
    const QString path = ChoosePath(true, kProgramExtension);
    if (!path.isEmpty()) {
        Report(m_modes.ExportProgram(path.toStdString()));
    }
}

void CFileOperations::ImportProgram() {
    const QString path = ChoosePath(false, kProgramExtension);
    if (path.isEmpty()) {
        return;
    }
    // Looked at before anything changes: the file's system block is not taken, so only the
    // program's fields count.
    auto file = std::make_unique<ParamImage>();
    const FileResult read = CProgramFile::ReadProgram(path.toStdString(), *file);
    if (!read.ok) {
        m_prompts.showError(QString::fromLatin1(kReadError), QString::fromStdString(read.error));
        return;
    }
    if (!ConfirmRanges(CParamCatalogue::OutOfRange(*file, false))) {
        return;
    }
    Report(m_modes.ImportProgram(path.toStdString()));
}

void CFileOperations::ExportAllPrograms() {
    if (online) {
        Report(m_modes.ExportAllPrograms(std::string()));
        return;
    }
    if (ProgramBank.bankValid == 0) {
        return;  // nothing to write yet
    }
    const QString path = ChoosePath(true, kBankExtension);
    if (!path.isEmpty()) {
        Report(m_modes.ExportAllPrograms(path.toStdString()));
    }
}

void CFileOperations::SaveReceivedBank() {
    m_modes.OnModesReceived();
    if (!m_pendingImport.isEmpty()) {
        FinishImportAll();
        return;
    }
    const QString path = ChoosePath(true, kBankExtension);
    if (!path.isEmpty()) {
        Report(m_modes.WriteAllPrograms(path.toStdString()));
    }
}

void CFileOperations::ImportAllPrograms() {
    const QString path = ChoosePath(false, kBankExtension);
    if (path.isEmpty() || !CProgramFile::IsBankFilePath(path.toStdString())) {
        return;
    }
    auto bank = std::make_unique<BankImage>();
    const FileResult read = CProgramFile::ReadBank(path.toStdString(), *bank);
    if (!read.ok) {
        m_prompts.showError(QString::fromLatin1(kReadError), QString::fromStdString(read.error));
        return;
    }
    // Every program with the bank's system block, as each would stand once recalled.
    std::vector<std::string> names;
    auto image = std::make_unique<ParamImage>();
    AtomicCopy(&image->system, &bank->BankSystemBlock, sizeof(SystemImage));
    for (int k = 0; k < kProgramCount; ++k) {
        AtomicCopy(&image->program, &bank->programs[k], sizeof(ProgramImage));
        const std::string label = CDeviceModes::ProgramLabel(k + 1) + ": ";
        for (const std::string& name : CParamCatalogue::OutOfRange(*image, k == 0)) {
            names.push_back(name.rfind("System.", 0) == 0 ? name : label + name);
        }
    }
    if (!ConfirmRanges(names)) {
        return;
    }
    if (!online) {
        Report(m_modes.ImportAllPrograms(path.toStdString()));
        return;
    }
    // Connected: the processor's own bank and system block go to a backup file first; the
    // question follows once they arrived (SaveReceivedBank).
    m_pendingImport = path;
    Report(m_modes.ExportAllPrograms(std::string()));
}

void CFileOperations::FinishImportAll() {
    const QString path = m_pendingImport;
    m_pendingImport.clear();
    // The folder may not exist yet (a fresh installation, a removed folder).
    QDir().mkpath(CSnapshot::Instance().Folder());
    const QString backup = CSnapshot::DatedPath(CSnapshot::Instance().Folder(), "backup",
                                                kBankExtension, std::time(nullptr));
    const ModeResult written = m_modes.WriteAllPrograms(backup.toStdString());
    if (!written.Succeeded()) {
        m_prompts.showError(Utf8(kImportAllCaption),
                            Utf8(kBackupFailed) + QString::fromStdString(written.message));
        return;
    }
    m_lastBackup = backup;
    CAsk::Question q;
    q.caption = Utf8(kImportAllCaption);
    q.text =
        QString::fromStdString(Tr(kImportAllQuestion, {path.toStdString(), backup.toStdString()}));
    q.choices = {
        {CAsk::Custom, Utf8(kReplaceKeep)}, {CAsk::Custom, Utf8(kReplaceAll)}, {CAsk::Cancel, {}}};
    q.byDefault = 0;
    q.escape = 2;
    q.unattended = 0;
    const int answer = CAsk::Ask(q);
    if (answer == 2 || !online) {
        return;
    }
    const ModeResult result = m_modes.ImportAllPrograms(path.toStdString(), answer == 0);
    Report(result);
    if (result.status == ModeResult::kQueued) {
        // The writes change the stored programs only; the processor still plays its old
        // working image. Recalling the program the editor now shows brings both to it.
        Report(m_modes.RecallProgram(CDeviceModes::BankProgramFor(
            static_cast<int>(ParameterSet.system.block.currentProgram))));
    }
}

}  // namespace qx
