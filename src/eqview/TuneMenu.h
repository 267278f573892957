#pragma once
// The curve view's menu for tuning a room: filter text in and out (what qxctl eq-import and
// eq-export do, with the same refusals and report, applied as one undo step), the room
// measurement with its smoothing and level, the target, the fit, and the session's room file.

#include <QPoint>

namespace qx {

class CEQCurveStatic;

void ShowTuneMenu(CEQCurveStatic& view, QPoint globalPos);

// Each item on its own, for a page's buttons.
void ImportFilters(CEQCurveStatic& view);
void ExportFilters(CEQCurveStatic& view);
void LoadMeasurement(CEQCurveStatic& view);
void FitRoom(CEQCurveStatic& view);

// Writes the records of one equaliser from `from` into the ParameterSet through the image
// model, each record that differs, as one undo step with the given label.
struct ProgramImage;
void WriteEqualiser(int eqNumber, int scene, ProgramImage& from, const char* label);

}  // namespace qx
