#pragma once
// Makes a whole mouse gesture one step of the history: from the press of the left or right
// button on any widget of a window to its release, everything the model announces is one step
// (a slider or curve drag of any length, a click on a toggle with the copy it makes).
//
// Installed on the application, it sees presses before their widgets do. The step ends once
// the release and what it posted (a slider's last report, the model's notice) have been
// handled. Widgets with the property kNoStepProperty (the undo and redo buttons, the history
// list) make no step.

#include <QObject>
#include <QPointer>
#include <cstdint>

class QWidget;

namespace qx {

class CImageModel;

class CGestureSteps : public QObject {
    Q_OBJECT
  public:
    static constexpr const char* kNoStepProperty = "qxNoHistoryStep";

    CGestureSteps(CImageModel& model, QWidget* window);
    ~CGestureSteps() override;

    bool GestureOpen() const { return m_open; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool InWindow(QObject* watched) const;
    void Begin();
    void End();
    void EndLater(uint64_t gesture, int rounds);

    CImageModel& m_model;
    QPointer<QWidget> m_window;
    bool m_open = false;
    uint64_t m_gesture = 0;
};

}  // namespace qx
