#include "TuneMenu.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>

#include "CurveSets.h"
#include "EQCurveStatic.h"
#include "EqImportReport.h"
#include "EqTextImport.h"
#include "EqTextWriter.h"
#include "EqTitle.h"
#include "FilterTextReader.h"
#include "FitDialog.h"
#include "ImageModel.h"
#include "MeasurementReader.h"
#include "ParameterSet.h"
#include "RoomTuning.h"
#include "SceneSelector.h"
#include "TextPair.h"
#include "WorkProgress.h"

namespace qx {

namespace {

QString Q(const TextPair& t, std::initializer_list<std::string> args = {}) {
    return QString::fromStdString(Tr(t, args));
}

std::string Line(const MeasurementError& e) {
    return LinePrefix(e.line) + e.reason;
}

// Reads a measurement or house-curve file behind a progress bar; false after telling why.
bool ReadCurveFile(QWidget* parent, const QString& path, Measurement& m) {
    MeasurementResult r;
    const std::string file = path.toStdString();
    RunWithProgress(parent, Tr({"正在读取 %1", "Reading %1"}, {file}),
                    [&r, &file](const WorkProgress& progress) {
                        r = CMeasurementReader::ReadFile(file, progress);
                    });
    if (r.cancelled) {
        return false;
    }
    if (!r.Ok()) {
        QMessageBox::warning(parent, Q({"无法读取", "Cannot read"}),
                             QString::fromStdString(file + "\n" + Line(r.error)));
        return false;
    }
    m = std::move(r.data);
    return true;
}

void ChooseHouseCurve(CEQCurveStatic& view) {
    const QString path = QFileDialog::getOpenFileName(
        &view, Q({"目标曲线", "House curve"}), QString(),
        Q({"文本 (*.txt *.csv *.frd *.cal);;*", "Text (*.txt *.csv *.frd *.cal);;*"}));
    Measurement m;
    if (path.isEmpty() || !ReadCurveFile(&view, path, m)) {
        return;
    }
    RoomTarget t;
    t.kind = RoomTarget::Kind::House;
    t.house = std::move(m);
    CRoomTuning::Instance().SetTarget(view.EqNumber(), t, path.toStdString());
}

void ChooseParametricTarget(CEQCurveStatic& view) {
    const RoomState* s = CRoomTuning::Instance().State(view.EqNumber());
    RoomTarget t =
        s != nullptr && s->target.kind == RoomTarget::Kind::Parametric ? s->target : RoomTarget{};
    bool ok = false;
    const double bass = QInputDialog::getDouble(
        &view, Q({"参数目标", "Parametric target"}),
        Q({"低音搁架 (dB, 转折频率以下)", "Bass shelf (dB below the corner)"}), t.bassDb, -12.0,
        12.0, 1, &ok);
    if (!ok) {
        return;
    }
    const double corner = QInputDialog::getDouble(&view, Q({"参数目标", "Parametric target"}),
                                                  Q({"转折频率 (Hz)", "Corner (Hz)"}),
                                                  t.bassCornerHz, 20.0, 500.0, 0, &ok);
    if (!ok) {
        return;
    }
    const double tilt = QInputDialog::getDouble(
        &view, Q({"参数目标", "Parametric target"}),
        Q({"高音倾斜 (dB/十倍频, 1 kHz 以上)", "Treble tilt (dB per decade above 1 kHz)"}),
        t.trebleTiltDbPerDecade, -6.0, 6.0, 1, &ok);
    if (!ok) {
        return;
    }
    t.kind = RoomTarget::Kind::Parametric;
    t.bassDb = bass;
    t.bassCornerHz = corner;
    t.trebleTiltDbPerDecade = tilt;
    CRoomTuning::Instance().SetTarget(view.EqNumber(), t);
}

void ChooseOffset(CEQCurveStatic& view) {
    const RoomState* s = CRoomTuning::Instance().State(view.EqNumber());
    bool ok = false;
    const double v = QInputDialog::getDouble(
        &view, Q({"测量电平", "Measurement level"}),
        Q({"画在 0 dB 线上的测量电平 (dB)", "Measured level drawn on the 0 dB line (dB)"}),
        s != nullptr ? s->offsetDb : 0.0, -200.0, 200.0, 1, &ok);
    if (ok) {
        CRoomTuning::Instance().SetOffset(view.EqNumber(), v);
    }
}

void SaveOrLoadRoomFile(CEQCurveStatic& view, bool save) {
    const QString path =
        save ? QFileDialog::getSaveFileName(&view, Q({"在程序文件旁保存", "Save beside program"}),
                                            QString(), Q({"程序 (*.dia)", "Program (*.dia)"}))
             : QFileDialog::getOpenFileName(
                   &view, Q({"读取程序文件旁的", "Load beside program"}), QString(),
                   Q({"程序 (*.dia);;房间 (*.room)", "Program (*.dia);;Room (*.room)"}));
    if (path.isEmpty()) {
        return;
    }
    std::string error;
    auto& tuning = CRoomTuning::Instance();
    const bool ok = save ? tuning.SaveBeside(path.toStdString(), error)
                         : tuning.LoadBeside(path.toStdString(), error);
    if (!ok) {
        QMessageBox::warning(&view, Q({"房间文件", "Room file"}), QString::fromStdString(error));
    }
}

}  // namespace

void WriteEqualiser(int eqNumber, int scene, ProgramImage& from, const char* label) {
    CImageModel& model = CImageModel::Editor();
    const ChangeOrigin origin = ChangeOrigin::FromFile(label);
    CImageModel::StepScope step(model, label);
    const EqElements dst = EqElementsOf(ParameterSet.program, eqNumber, scene);
    const EqElements src = EqElementsOf(from, eqNumber, scene);
    auto write = [&](void* to, const void* source, std::size_t size) {
        if (to != nullptr && source != nullptr && !AtomicEqual(to, source, size)) {
            model.WriteBytes(model.OffsetOf(to), source, size, origin);
        }
    };
    for (int b = 0; b < dst.count && b < src.count; ++b) {
        write(dst.Band(b), src.Band(b), sizeof(EqBand));
    }
    write(dst.hpf, src.hpf, sizeof(PassFilter));
    write(dst.lpf, src.lpf, sizeof(PassFilter));
}

void ImportFilters(CEQCurveStatic& view) {
    const QString path =
        QFileDialog::getOpenFileName(&view, Q({"导入滤波器", "Import filters"}), QString(),
                                     Q({"滤波器文本 (*.txt);;*", "Filter text (*.txt);;*"}));
    if (path.isEmpty()) {
        return;
    }
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        QMessageBox::warning(&view, Q({"导入滤波器", "Import filters"}),
                             Q({"无法读取 %1", "Cannot read %1"}, {path.toStdString()}));
        return;
    }
    const FilterText text = CFilterTextReader::Read(content);
    const int scene = SceneInForce();
    EqImportPlan plan = CEqTextImport::Plan(text, ParameterSet.program, view.EqNumber(), scene);
    if (text.filters.empty() && plan.errors.empty()) {
        plan.errors.push_back({0, Tr({"文件中没有滤波器", "the file holds no filters"})});
    }
    if (!plan.Ok()) {
        QMessageBox::warning(&view, Q({"导入滤波器", "Import filters"}),
                             QString::fromStdString(ImportRefusalText(plan)));
        return;
    }
    QMessageBox box(QMessageBox::Question, Q({"导入滤波器", "Import filters"}),
                    QString::fromStdString(EqTitle(view.EqNumber())), QMessageBox::NoButton, &view);
    box.setInformativeText(QString::fromStdString(ImportSummaryText(plan)));
    QPushButton* apply = box.addButton(Q({"应用", "Apply"}), QMessageBox::AcceptRole);
    box.addButton(Q({"取消", "Cancel"}), QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() != static_cast<QAbstractButton*>(apply)) {
        return;
    }
    auto copy = std::make_unique<ProgramImage>();
    AtomicCopy(copy.get(), &ParameterSet.program, sizeof(ProgramImage));
    if (CEqTextImport::Apply(plan, *copy)) {
        WriteEqualiser(view.EqNumber(), scene, *copy, "filter import");
    }
}

void ExportFilters(CEQCurveStatic& view) {
    const std::string text =
        CEqTextWriter::Write(ParameterSet.program, view.EqNumber(), SceneInForce());
    const QString path =
        QFileDialog::getSaveFileName(&view, Q({"导出滤波器", "Export filters"}),
                                     QString::fromStdString(EqName(view.EqNumber()) + ".txt"),
                                     Q({"滤波器文本 (*.txt)", "Filter text (*.txt)"}));
    if (path.isEmpty()) {
        return;
    }
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    if (!out.write(text.data(), static_cast<std::streamsize>(text.size())) || !out.flush()) {
        QMessageBox::warning(&view, Q({"导出滤波器", "Export filters"}),
                             Q({"无法写入 %1", "Cannot write %1"}, {path.toStdString()}));
    }
}

void LoadMeasurement(CEQCurveStatic& view) {
    const QString path = QFileDialog::getOpenFileName(
        &view, Q({"读取测量", "Load measurement"}), QString(),
        Q({"测量 (*.txt *.csv *.frd *.tsv);;*", "Measurement (*.txt *.csv *.frd *.tsv);;*"}));
    Measurement m;
    if (path.isEmpty() || !ReadCurveFile(&view, path, m)) {
        return;
    }
    CRoomTuning::Instance().SetMeasurement(view.EqNumber(), std::move(m), path.toStdString());
}

void FitRoom(CEQCurveStatic& view) {
    const RoomState* s = CRoomTuning::Instance().State(view.EqNumber());
    if (s == nullptr || !s->HasMeasurement()) {
        QMessageBox::information(&view, Q({"拟合", "Fit"}),
                                 Q({"请先读取测量。", "Load a measurement first."}));
        return;
    }
    CFitDialog dialog(view.EqNumber(), SceneInForce(), *s, &view);
    dialog.exec();
}

void ShowTuneMenu(CEQCurveStatic& view, QPoint globalPos) {
    const int eq = view.EqNumber();
    auto& tuning = CRoomTuning::Instance();
    const RoomState* s = tuning.State(eq);
    QMenu menu(&view);
    menu.addAction(Q({"导入滤波器...", "Import filters..."}), [&view] { ImportFilters(view); })
        ->setEnabled(!view.IsReadOnly());
    menu.addAction(Q({"导出滤波器...", "Export filters..."}), [&view] { ExportFilters(view); });
    menu.addSeparator();
    menu.addAction(Q({"读取测量...", "Load measurement..."}), [&view] { LoadMeasurement(view); });
    QMenu* smoothing = menu.addMenu(Q({"平滑", "Smoothing"}));
    for (int n : kSmoothingChoices) {
        QAction* a = smoothing->addAction(
            n == 0 ? Q({"无", "None"}) : Q({"1/%1 倍频程", "1/%1 oct"}, {std::to_string(n)}),
            [eq, n] { CRoomTuning::Instance().SetSmoothing(eq, n); });
        a->setCheckable(true);
        a->setChecked(s != nullptr && s->smoothing == n);
    }
    QMenu* target = menu.addMenu(Q({"目标", "Target"}));
    target->addAction(Q({"平直", "Flat"}),
                      [eq] { CRoomTuning::Instance().SetTarget(eq, RoomTarget{}); });
    target->addAction(Q({"目标曲线文件...", "House curve file..."}),
                      [&view] { ChooseHouseCurve(view); });
    target->addAction(Q({"低音搁架与高音倾斜...", "Bass shelf and treble tilt..."}),
                      [&view] { ChooseParametricTarget(view); });
    menu.addAction(Q({"测量电平...", "Measurement level..."}), [&view] { ChooseOffset(view); })
        ->setEnabled(s != nullptr && s->HasMeasurement());
    menu.addAction(Q({"测量电平自动", "Measurement level automatic"}),
                   [eq] { CRoomTuning::Instance().SetOffset(eq, std::nan("")); })
        ->setEnabled(s != nullptr && s->HasMeasurement());
    menu.addAction(Q({"拟合...", "Fit..."}), [&view] { FitRoom(view); })
        ->setEnabled(s != nullptr && s->HasMeasurement() && !view.IsReadOnly());
    menu.addAction(Q({"清除测量与目标", "Clear measurement and target"}),
                   [eq] { CRoomTuning::Instance().Clear(eq); })
        ->setEnabled(s != nullptr);
    menu.addSeparator();
    menu.addAction(Q({"在程序文件旁保存测量...", "Save room beside a program file..."}),
                   [&view] { SaveOrLoadRoomFile(view, true); });
    menu.addAction(Q({"读取程序文件旁的测量...", "Load room beside a program file..."}),
                   [&view] { SaveOrLoadRoomFile(view, false); });
    menu.exec(globalPos);
}

}  // namespace qx
