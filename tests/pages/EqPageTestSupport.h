#pragma once
// Driving an equaliser page's controls as a person would, and checking what a change did to
// the parameter image.

#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <string>
#include <vector>

#include "BitButton.h"
#include "BitComboBox.h"
#include "BitmapSlider.h"
#include "ByteField.h"
#include "CurveSets.h"
#include "FieldBinding.h"
#include "NumEdit.h"
#include "ParamCatalogue.h"
#include "ParameterSet.h"

namespace qx::test {

// One control of a page's table: the field it must change and what a person does with it.
struct ControlCase {
    int id;
    const char* field;    // resolved catalogue name
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

inline std::vector<int> ChangedBytes(const ParamImage& before, const ParamImage& after) {
    const auto* a = CParamCatalogue::Bytes(before);
    const auto* b = CParamCatalogue::Bytes(after);
    std::vector<int> changed;
    for (std::size_t i = 0; i < sizeof(ParamImage); ++i) {
        if (a[i] != b[i]) {
            changed.push_back(static_cast<int>(i));
        }
    }
    return changed;
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

// The ids of the controls a person changes (value labels show a field but take no input).
inline std::vector<int> InputIds(const CFieldBinding& binding) {
    std::vector<int> ids;
    for (int id : binding.BoundIds()) {
        if (binding.Row(id)->kind != ControlKind::Label) {
            ids.push_back(id);
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

// Shows a page as the active window, so that focus moves as it does on screen.
inline void ShowActive(QWidget& page) {
    page.show();
    page.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&page));
}

// Drives every case from a fresh copy of `start` and checks that exactly the case's field
// changed, to the expected code, and nothing else of the image.
inline void ExpectEachChangesOnlyItsField(CFieldBinding& binding,
                                          std::span<const ControlCase> cases,
                                          const ParamImage& start) {
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "control " << c.id << " -> " << c.field);
        AtomicCopy(&ParameterSet, &start, sizeof start);
        AdoptAsSent(false);  // the curve sets follow the replaced records
        binding.RefreshFromParameters();
        const ParamField* f = CParamCatalogue::Find(c.field);
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(binding.FieldNameOf(c.id), c.field);
        const ParamImage before = ParameterSet;
        const int expected = Drive(binding, c) * binding.Row(c.id)->rule.step;
        QCoreApplication::processEvents();
        const int now = binding.Read(c.field);
        EXPECT_EQ(now, expected);
        EXPECT_NE(now, static_cast<int>(CParamCatalogue::Read(CParamCatalogue::Bytes(before), *f)))
            << "the case changes nothing";
        const auto* a = CParamCatalogue::Bytes(before);
        const auto* b = CParamCatalogue::Bytes(ParameterSet);
        for (int i : ChangedBytes(before, ParameterSet)) {
            EXPECT_TRUE(i >= f->offset && i < f->offset + f->width) << "byte " << i << " changed";
            if (f->mask != 0 && i == f->offset) {
                EXPECT_EQ((a[i] ^ b[i]) & ~f->mask, 0) << "bits beside the field changed";
            }
        }
    }
}

}  // namespace qx::test
