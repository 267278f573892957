#include "DifferencesDlg.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <memory>

#include "AbCompare.h"
#include "DeviceModes.h"
#include "ImageModel.h"
#include "ParameterSet.h"
#include "ProgramFile.h"
#include "TextPair.h"

namespace qx {

namespace {

constexpr TextPair kTitle{"差异", "Differences"};
constexpr TextPair kABText{"A 与 B", "A with B"};
constexpr TextPair kFileText{"编辑器与程序文件…", "Editor with a program file..."};
constexpr TextPair kStored{"编辑器与存储程序 %1", "Editor with stored program %1"};
constexpr TextPair kField{"参数", "Field"};
constexpr TextPair kEditor{"编辑器", "Editor"};
constexpr TextPair kCount{"%1 项不同", "%1 differences"};
constexpr TextPair kNoAB{"尚未按“A/B”比较", "A/B compare not started yet"};
constexpr TextPair kNoBank{
    "没有存储程序：请先读取全部程序或打开全部程序文件",
    "No stored programs: read all programs or open an all-programs file first"};
constexpr TextPair kClose{"关闭", "Close"};

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::unique_ptr<ParamImage> EditorImage() {
    auto image = std::make_unique<ParamImage>();
    AtomicCopy(image.get(), &CImageModel::Editor().Image(), sizeof(ParamImage));
    return image;
}

}  // namespace

CDifferencesDlg::CDifferencesDlg(CAbCompare* ab, QWidget* parent)
    : QDialog(parent),
      m_ab(ab),
      m_source(new QComboBox(this)),
      m_summary(new QLabel(this)),
      m_table(new QTableWidget(0, 3, this)) {
    setWindowTitle(kTitle.Get());
    m_source->addItem(kABText.Get());
    m_source->addItem(kFileText.Get());
    for (int k = 1; k <= kProgramCount; ++k) {
        m_source->addItem(Q(Tr(kStored, {CDeviceModes::ProgramLabel(k)})));
    }
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    auto* close = new QPushButton(kClose.Get(), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_source);
    layout->addWidget(m_summary);
    layout->addWidget(m_table, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(620, 460);

    connect(m_source, &QComboBox::activated, this, &CDifferencesDlg::OnSource);
    CompareWith(kAB);
}

int CDifferencesDlg::Rows() const {
    return m_table->rowCount();
}

void CDifferencesDlg::OnSource(int index) {
    if (index != kFile) {
        CompareWith(index);
        return;
    }
    const QString path =
        QFileDialog::getOpenFileName(this, kFileText.Get(), QString(), QStringLiteral("*.dia"));
    if (!path.isEmpty()) {
        CompareWith(kFile, path.toStdString());
    }
}

bool CDifferencesDlg::CompareWith(int source, const std::string& path) {
    m_source->setCurrentIndex(source);
    auto editor = EditorImage();
    if (source == kAB) {
        if (m_ab == nullptr || !m_ab->Started()) {
            SetDifferences({}, "A", "B");
            m_summary->setText(kNoAB.Get());
            return false;
        }
        SetDifferences(m_ab->Differences(), "A", "B");
        return true;
    }
    if (source == kFile) {
        auto file = std::make_unique<ParamImage>();
        const FileResult r = CProgramFile::ReadProgram(path, *file);
        if (!r.ok) {
            SetDifferences({}, kEditor.Get(), path);
            m_summary->setText(Q(r.error));
            return false;
        }
        SetDifferences(CImageDiff::ComparePrograms(editor->program, file->program), kEditor.Get(),
                       QFileInfo(Q(path)).fileName().toStdString());
        return true;
    }
    const int program = source - kStoredFirst;
    auto stored = std::make_unique<ProgramImage>();
    bool valid = false;
    {
        ParamGuard guard(ParamLock);
        valid = ProgramBank.bankValid != 0 && program >= 0 && program < kProgramCount;
        if (valid) {
            AtomicCopy(stored.get(), &ProgramBank.programs[program], sizeof(ProgramImage));
        }
    }
    if (!valid) {
        SetDifferences({}, kEditor.Get(), "");
        m_summary->setText(kNoBank.Get());
        return false;
    }
    SetDifferences(CImageDiff::ComparePrograms(editor->program, *stored), kEditor.Get(),
                   CDeviceModes::ProgramLabel(program + 1));
    return true;
}

void CDifferencesDlg::SetDifferences(const std::vector<FieldDifference>& list,
                                     const std::string& left, const std::string& right) {
    m_table->setHorizontalHeaderLabels({kField.Get(), Q(left), Q(right)});
    m_table->setRowCount(static_cast<int>(list.size()));
    for (int row = 0; row < static_cast<int>(list.size()); ++row) {
        const FieldDifference& d = list[static_cast<std::size_t>(row)];
        m_table->setItem(row, 0, new QTableWidgetItem(Q(d.Caption(useChinese))));
        m_table->setItem(row, 1, new QTableWidgetItem(Q(d.beforeText)));
        m_table->setItem(row, 2, new QTableWidgetItem(Q(d.afterText)));
    }
    m_table->resizeColumnToContents(1);
    m_table->resizeColumnToContents(2);
    m_summary->setText(Q(Tr(kCount, {std::to_string(list.size())})));
}

}  // namespace qx
