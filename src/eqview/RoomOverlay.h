#pragma once
// Draws an equaliser's room state into its curve view's plot: the measurement, the predicted
// result (measurement plus the equaliser's total) and the target, on the view's level scale
// shifted by the state's offset (the measured level that sits on the 0 dB line), and a legend
// that names the offset. The equaliser's own curve and handles keep their +12 .. -24 dB scale.

class QPainter;

namespace qx {

class CKTVEQ;
struct Rect;
struct RoomState;

void DrawRoomOverlay(QPainter& p, const Rect& plot, const RoomState& state, const CKTVEQ* set);

}  // namespace qx
