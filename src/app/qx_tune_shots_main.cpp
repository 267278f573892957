// qx-tune-shots: the room-tuning pictures of the documentation, made in real windows. Music
// left with a measured room, a house curve and its band strips; then the fit dialog with its
// preview; then the equaliser after Apply.
// Usage: qx-tune-shots MEASUREMENT HOUSE_CURVE FOLDER
#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QTimer>
#include <cstdio>

#include "EQCurveStatic.h"
#include "EQDlg.h"
#include "EqDemoPage.h"
#include "FitDialog.h"
#include "MeasurementReader.h"
#include "ParameterSet.h"
#include "RoomTuning.h"
#include "SkinColors.h"

using namespace qx;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: qx-tune-shots MEASUREMENT HOUSE_CURVE FOLDER\n");
        return 2;
    }
    const MeasurementResult m = CMeasurementReader::ReadFile(argv[1]);
    const MeasurementResult h = CMeasurementReader::ReadFile(argv[2]);
    if (!m.Ok() || !h.Ok()) {
        std::fprintf(stderr, "cannot read: %s%s\n", m.error.reason.c_str(), h.error.reason.c_str());
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(argv[3]));
    CEqDemoPage page(kEqMusicLeft, 0, 7);
    CEQCurveStatic* view = page.View();
    auto& tuning = CRoomTuning::Instance();
    tuning.SetMeasurement(kEqMusicLeft, m.data, argv[1]);
    tuning.SetSmoothing(kEqMusicLeft, 12);
    RoomTarget target;
    target.kind = RoomTarget::Kind::House;
    target.house = h.data;
    tuning.SetTarget(kEqMusicLeft, target, argv[2]);
    page.show();
    int rc = 0;
    auto save = [&rc, &folder](QWidget& w, const char* name) {
        const QString file = folder.filePath(QString::fromLatin1(name));
        if (!w.grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            rc = 1;
        }
    };
    QTimer::singleShot(300, &page, [&] {
        view->Redraw();
        save(page, "tune-overlay.png");
        CFitDialog dialog(kEqMusicLeft, 1, *tuning.State(kEqMusicLeft), &page);
        dialog.resize(1100, 560);
        dialog.show();
        dialog.RunFit();
        QApplication::processEvents();
        save(dialog, "tune-fit-preview.png");
        dialog.ApplyFit();
        dialog.close();
        QApplication::processEvents();
        view->Redraw();
        for (CEQDlg* s : page.findChildren<CEQDlg*>()) {
            s->LoadBand();
        }
        QApplication::processEvents();
        save(page, "tune-fitted.png");
        app.quit();
    });
    app.exec();
    return rc;
}
