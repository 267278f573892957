#pragma once
// A/B compare: two slots, each a whole program. The first press of "Compare" copies the
// current program into the other slot; every press then switches the editor, and so the
// processor, between A and B. The slot in use is the editor's image itself, so edits change
// it; a switch keeps it in its slot and brings in the other one as one undo step.
//
// A switch reaches the processor by the cheaper of two ways (SwitchCost.h): writing the slot
// through the model, so that the synchroniser sends the differing items, or adopting the slot
// as sent and queueing one whole-program write of it. The second needs the link, which the
// owner supplies as a function; without one, or offline, every switch takes the first way.
//
// Settings about to be replaced by a recall can be put aside: the next program that comes in
// (from the processor or the stored bank) starts the compare with it in A and the settings put
// aside in B, so one press brings them back, as one undo step.

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

#include "ImageDiff.h"
#include "ImageModel.h"
#include "SwitchCost.h"

namespace qx {

class CAbCompare : public QObject {
    Q_OBJECT
  public:
    enum Slot { kA = 0, kB = 1 };

    // sentImage: what the processor is known to hold (the SentImage beside the ParameterSet).
    CAbCompare(CImageModel& model, const ParamImage& sentImage, QObject* parent = nullptr);
    ~CAbCompare() override;

    // The link's whole-program write: `available` says whether one can be queued now (a
    // processor is connected and not busy); `write` queues one of the editor's program, with
    // ParamLock held by the caller.
    void SetProgramWriter(std::function<bool()> available, std::function<void()> write);
    void SetLineCosts(const LineCosts& costs) { m_costs = costs; }

    // The button: the first press fills the other slot, every press switches. Returns the way
    // the switch took.
    CSwitchCost::Route Press();
    // Forgets both slots (a different program was loaded or received).
    void Reset();
    // Keeps the editor's program now for slot B of the next program that comes in.
    void PutAside();
    bool AsidePending() const { return m_asidePending; }

    bool Started() const { return m_started; }
    Slot Active() const { return m_active; }
    // A slot's program; the slot in use reads the editor's image.
    void ReadSlot(Slot slot, ProgramImage& out) const;
    // The fields in which A and B differ, A's values first.
    std::vector<FieldDifference> Differences() const;
    // The route and estimates of the last switch, for the status line and the benchmark.
    const SwitchEstimate& LastDifferences() const { return m_lastDifferences; }

    static const char* SlotName(Slot slot) { return slot == kA ? "A" : "B"; }

  signals:
    void SlotChanged(int active);
    // A program came in over settings put aside: they are now in slot B.
    void AsideInB();

  private:
    void OnChanged(const ImageNotice& notice);

    CImageModel& m_model;
    const ParamImage& m_sent;
    std::unique_ptr<ProgramImage> m_slots[2];
    std::unique_ptr<ProgramImage> m_aside;  // B of the next program that comes in
    std::function<bool()> m_canWriteProgram;
    std::function<void()> m_writeProgram;
    LineCosts m_costs;
    SwitchEstimate m_lastDifferences;
    Slot m_active = kA;
    bool m_started = false;
    bool m_asidePending = false;
};

}  // namespace qx
