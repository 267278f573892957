#pragma once
// Driving an equaliser page's controls as a person would, and checking what a change did to
// the parameter image.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "BitButton.h"
#include "BitComboBox.h"
#include "BitmapSlider.h"
#include "ByteField.h"
#include "CurveSets.h"
#include "Edit_Static.h"
#include "FieldBinding.h"
#include "NumEdit.h"
#include "PageGlobals.h"
#include "PagesTestSupport.h"
#include "ParamCatalogue.h"
#include "ParameterSet.h"
#include "Snapshot.h"
#include "StripRow.h"
#include "TextPair.h"

namespace qx::test {

// One control of a page's table: the field it must change and what a person does with it.
struct ControlCase {
    int id;
    std::string field;    // resolved catalogue name
    int value;            // slider position, combo item, toggle state (ignored for edits)
    const char* typed{};  // edits: the text typed before Enter
};

inline void EnsureCurveSets() {
    static const bool installed = [] {
        InstallCurveSets();
        return true;
    }();
    (void)installed;
}

// What every page test starts from: curve sets installed, start-up defaults, page globals
// reset, English.
inline void FreshPageState() {
    EnsureCurveSets();
    ResetParameters();
    ResetPageGlobals();
    useChinese = false;
    // Snapshots a page keeps before SYNC or a recall go outside the build folder.
    CSnapshot::Instance().SetFolder(QDir::temp().filePath(QStringLiteral("qx-page-tests")));
}

// Moves, types, picks or clicks the control; returns the code the field should now hold.
inline int Drive(CFieldBinding& binding, const ControlCase& c) {
    QWidget* w = binding.Widget(c.id);
    if (auto* s = qobject_cast<CBitmapSlider*>(w)) {
        emit s->Tracking(c.id, c.value);  // what a drag step posts
        // A vertical slider has its maximum at the top, where its position is lowest.
        const bool vertical = binding.Row(c.id)->kind == ControlKind::VSlider;
        return vertical ? s->GetRangeMax() + s->GetRangeMin() - c.value : c.value;
    }
    if (auto* e = qobject_cast<CNumEdit*>(w)) {
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, QString::fromUtf8(c.typed));
        // Enter, or a click elsewhere, gives the page the focus and the edit commits.
        e->parentWidget()->setFocus();
        return e->GetValue();
    }
    if (auto* combo = qobject_cast<CBitComboBox*>(w)) {
        combo->setCurrentIndex(c.value);
        emit combo->activated(c.value);
        return c.value;
    }
    if (auto* b = qobject_cast<CBitButton*>(w)) {
        QTest::mouseClick(b, Qt::LeftButton);
        return c.value;
    }
    ADD_FAILURE() << "no drivable control " << c.id;
    return -1;
}

// Shows a page as the active window, so that focus moves as it does on screen.
inline void ShowActive(QWidget& page) {
    page.show();
    page.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&page));
}

// A mouse event as the window system delivers it.
inline void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Hover, press, drag with the left button held, release; then the posted reports run.
inline void DragFromTo(QWidget* w, QPoint from, QPoint to) {
    SendMouse(w, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
    SendMouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(w, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    SendMouse(w, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    SendMouse(w, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// A fresh image, page globals and page, shown as the active window.
template <class Page>
class EqPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FreshPageState();
        page = std::make_unique<Page>();
        ShowActive(*page);
    }
    CFieldBinding& B() { return page->Binding(); }
    CStripRow& Row() { return page->StripRow(); }
    CBitButton* Button(int id) { return B().template Get<CBitButton>(id); }
    QString LabelText(int id) { return B().template Get<CEdit_Static>(id)->Text(); }

    std::unique_ptr<Page> page;
};

}  // namespace qx::test
