#pragma once
// The room measurements and targets of the editor session, one per equaliser: the measured
// response with its smoothing, the target, and the level the curve view puts at 0 dB. They are
// the editor's, not the processor's: nothing here is sent, and a program file does not hold
// them; SaveBeside writes them into a file of their own beside a program file.
//
// Curve views draw the state of the equaliser they show and redraw on Changed.

#include <QObject>
#include <map>
#include <string>

#include "RoomCurve.h"

namespace qx {

struct RoomState {
    Measurement measurement;  // as read, before smoothing
    std::string source;       // the file it came from
    int smoothing = 0;        // 0 or N of 1/N octave
    GridCurve curve{};        // the measurement on the grid, smoothed
    RoomTarget target;
    std::string targetSource;
    double offsetDb = 0.0;   // the measured level drawn on the 0 dB line
    bool autoOffset = true;  // offset follows the measurement's centre

    bool HasMeasurement() const { return !measurement.Empty(); }
};

class CRoomTuning : public QObject {
    Q_OBJECT
  public:
    // The session's one instance, on the user-interface thread.
    static CRoomTuning& Instance();

    // The state of an equaliser; null when it has no measurement and no target set.
    const RoomState* State(int eqNumber) const;

    void SetMeasurement(int eqNumber, Measurement m, const std::string& source);
    void SetSmoothing(int eqNumber, int smoothingN);
    void SetTarget(int eqNumber, const RoomTarget& target, const std::string& source = {});
    // An offset; NaN returns to following the measurement.
    void SetOffset(int eqNumber, double offsetDb);
    void Clear(int eqNumber);

    // "PROGRAM.dia" -> "PROGRAM.room": every measurement and target of the session as text;
    // false with the reason in error when the file cannot be written.
    static std::string BesidePath(const std::string& programPath);
    bool SaveBeside(const std::string& programPath, std::string& error) const;
    // Reads such a file back, replacing the session's states; false with the reason.
    bool LoadBeside(const std::string& programPath, std::string& error);

  signals:
    void Changed(int eqNumber);

  private:
    RoomState& Edit(int eqNumber);
    void Update(int eqNumber);

    std::map<int, RoomState> m_states;
};

}  // namespace qx
