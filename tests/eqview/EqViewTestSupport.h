#pragma once
// Driving a curve view with mouse events and looking at what it wrote and drew.

#include <QApplication>
#include <QMouseEvent>
#include <cstring>
#include <memory>
#include <vector>

#include "EQCurveStatic.h"
#include "KTVEQ.h"
#include "ParameterSet.h"

namespace qx::test {

// The view size of the Music page.
constexpr int kViewWidth = 1235;
constexpr int kViewHeight = 307;

inline void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

inline void MoveTo(QWidget* w, QPoint at, Qt::MouseButtons held = Qt::NoButton) {
    SendMouse(w, QEvent::MouseMove, at, Qt::NoButton, held);
}

inline void Press(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    SendMouse(w, QEvent::MouseButtonPress, at, button, button);
}

inline void Release(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    SendMouse(w, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

// Points at a handle, presses, moves to the target with the button held and lets go. A
// pointer reaches a handle through more than one move: the first may only leave an H or L
// handle, the next picks what lies under it.
inline void DragFromTo(QWidget* w, QPoint from, QPoint to,
                       Qt::MouseButton button = Qt::LeftButton) {
    MoveTo(w, from);
    MoveTo(w, from);
    Press(w, from, button);
    MoveTo(w, to, button);
    Release(w, to, button);
}

inline QPoint CentreOf(const CFilter* f) {
    const Point c = f->Handle().Center();
    return {c.x, c.y};
}

// A copy of the whole working image, for comparing before and after.
inline std::vector<unsigned char> Snapshot() {
    std::vector<unsigned char> bytes(sizeof(ParamImage));
    std::memcpy(bytes.data(), static_cast<const void*>(&ParameterSet), bytes.size());
    return bytes;
}

// Offsets within the working image at which two snapshots differ.
inline std::vector<size_t> ChangedOffsets(const std::vector<unsigned char>& before,
                                          const std::vector<unsigned char>& after) {
    std::vector<size_t> out;
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i]) {
            out.push_back(i);
        }
    }
    return out;
}

inline size_t OffsetOf(const void* field) {
    return static_cast<size_t>(static_cast<const unsigned char*>(field) -
                               reinterpret_cast<const unsigned char*>(&ParameterSet));
}

}  // namespace qx::test
