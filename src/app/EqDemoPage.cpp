#include "EqDemoPage.h"

#include <QPalette>

#include "CurveSets.h"
#include "EQCurveStatic.h"
#include "EQDlg.h"
#include "KTVEQ.h"
#include "ParameterSet.h"
#include "SkinColors.h"

namespace qx {

CEqDemoPage::CEqDemoPage(int eq, int group, int maxStrips) {
    InstallCurveSets();
    ResetParameters();
    setWindowTitle(QStringLiteral("QX EQ"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, skin::kPageColor);
    setPalette(pal);
    resize(1255, 600);

    m_view = new CEQCurveStatic(this);
    m_view->setGeometry(10, 283, 1235, 307);
    m_view->InitPlot();
    m_view->SetOwner(this);
    m_view->SizeCurveSets(group);
    m_view->ShowEq(eq);
    const CKTVEQ* set = m_view->CurveSet();
    const int bands = set != nullptr ? set->BandCount() : 0;
    for (int i = 0; i < bands && i < maxStrips; ++i) {
        auto* strip = new CEQDlg(this);
        strip->move(10 + i * (strip->width() + 6), 10);
        strip->SetCurveView(m_view);
        strip->SetEq(eq, 0);
        strip->SetBand(i);
        m_strips.push_back(strip);
    }
}

}  // namespace qx
