#pragma once
// The id a control had in its dialog template. Controls report it in their messages and
// parents use it to tell their controls apart.

class QObject;

namespace qx {

void SetControlId(QObject* control, int id);
// 0 when no id was given.
int ControlId(const QObject* control);

}  // namespace qx
