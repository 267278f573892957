// qx-eq-demo: one equaliser as a page shows it, a row of band strips above its curve view,
// on the editor's start-up image, for trying the drags and edits without the editor.
// Usage: qx-eq-demo [EQ number 0..17] [folder for F12 snapshots] (default: 0 and .).
// F2 switches the equaliser's bypass byte, F12 saves a snapshot.

#include <QApplication>
#include <QDir>
#include <QShortcut>
#include <QWidget>
#include <cstdio>
#include <vector>

#include "CurveSets.h"
#include "EQCurveStatic.h"
#include "EQDlg.h"
#include "EqDemoPage.h"
#include "FontStatic.h"
#include "KTVEQ.h"
#include "ParameterSet.h"
#include "SkinColors.h"

using namespace qx;

namespace {

int GroupOf(int eq) {
    if (eq <= kEqMusicRight) {
        return 0;
    }
    if (eq == kEqDynamicLeft || eq == kEqDynamicRight) {
        return 1;
    }
    if (eq <= kEqMic2) {
        return 2;
    }
    if (eq <= kEqReverbShadow) {
        return 3;
    }
    return 4;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int eq = argc > 1 ? std::atoi(argv[1]) : kEqMusicLeft;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(".");
    CEqDemoPage page(eq, GroupOf(eq), 20);
    CEQCurveStatic* view = page.View();
    if (view->CurveSet() == nullptr) {
        std::fprintf(stderr, "no equaliser %d\n", eq);
        return 2;
    }
    const std::vector<CEQDlg*>& strips = page.Strips();
    // What a page does with the reports: mark the picked band's strip and reload it.
    QObject::connect(view, &CEQCurveStatic::PointSelected, &page, [&strips](int, int index) {
        for (CEQDlg* s : strips) {
            const bool picked = s->BandIndex() == index;
            s->Caption()->SetTextColor(picked ? QColor(255, 0, 0) : skin::kTextColor);
            if (picked) {
                s->LoadBandAndFocus();
            }
        }
    });

    int shots = 0;
    auto* snap = new QShortcut(QKeySequence(Qt::Key_F12), &page);
    QObject::connect(snap, &QShortcut::activated, &page, [&] {
        const QString file = QDir(folder).filePath(QStringLiteral("eq-demo-%1.png").arg(++shots));
        std::fprintf(stderr, "%s %s\n", page.grab().save(file) ? "saved" : "cannot write",
                     qPrintable(file));
    });
    auto* bypass = new QShortcut(QKeySequence(Qt::Key_F2), &page);
    QObject::connect(bypass, &QShortcut::activated, &page, [eq, view] {
        // The byte lies in the editor's own (writable) image.
        if (U8* b = const_cast<U8*>(EqBypassByte(ParameterSet.program, eq))) {
            *b = static_cast<uint8_t>(*b != 0 ? 0 : 1);
            view->SelectBand(-1, 0);
        }
    });
    page.show();
    return app.exec();
}
