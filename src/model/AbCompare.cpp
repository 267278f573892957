#include "AbCompare.h"

#include <cstring>

#include "ByteField.h"
#include "ParameterSet.h"
#include "SceneSelector.h"

namespace qx {

namespace {

uint8_t ProgramSum(const ProgramImage& p) {
    const auto* b = reinterpret_cast<const uint8_t*>(&p);
    unsigned sum = 0;
    for (std::size_t i = 0; i < sizeof(ProgramImage); ++i) {
        sum += LoadByte(b[i]);
    }
    return static_cast<uint8_t>(sum);
}

}  // namespace

CAbCompare::CAbCompare(CImageModel& model, const ParamImage& sentImage, QObject* parent)
    : QObject(parent), m_model(model), m_sent(sentImage) {
    m_slots[kA] = std::make_unique<ProgramImage>();
    m_slots[kB] = std::make_unique<ProgramImage>();
    connect(&model, &CImageModel::Changed, this, &CAbCompare::OnChanged);
}

void CAbCompare::OnChanged(const ImageNotice& notice) {
    constexpr std::size_t kProgram = sizeof(ProgramImage);
    const bool cameIn = notice.TouchedBy(ChangeSource::Processor, 0, kProgram) ||
                        notice.TouchedBy(ChangeSource::File, 0, kProgram);
    if (cameIn && m_asidePending) {
        // The program that replaced the settings put aside: it is A, they are B.
        m_asidePending = false;
        m_slots[kB] = std::move(m_aside);
        m_started = true;
        m_active = kA;
        emit SlotChanged(m_active);
        emit AsideInB();
        return;
    }
    if (!m_started) {
        return;
    }
    // Another program came in (from the processor or a file): the slots no longer belong to
    // what is being edited, and a switch would write one over it.
    if (cameIn) {
        Reset();
        return;
    }
    // An undo or redo of a switch puts the other slot back into the image: it is in use again,
    // so that the next press keeps it rather than saving it over the slot it left.
    const Slot other = m_active == kA ? kB : kA;
    if (notice.TouchedBy(ChangeSource::History, 0, kProgram) &&
        std::memcmp(&m_model.Image().program, m_slots[other].get(), kProgram) == 0) {
        m_active = other;
        emit SlotChanged(m_active);
    }
}

CAbCompare::~CAbCompare() = default;

void CAbCompare::SetProgramWriter(std::function<bool()> available, std::function<void()> write) {
    m_canWriteProgram = std::move(available);
    m_writeProgram = std::move(write);
}

void CAbCompare::Reset() {
    m_started = false;
    m_active = kA;
    emit SlotChanged(m_active);
}

void CAbCompare::PutAside() {
    if (!m_aside) {
        m_aside = std::make_unique<ProgramImage>();
    }
    AtomicCopy(m_aside.get(), &m_model.Image().program, sizeof(ProgramImage));
    m_asidePending = true;
}

void CAbCompare::ReadSlot(Slot slot, ProgramImage& out) const {
    const ProgramImage& source =
        (m_started && slot != m_active) ? *m_slots[slot] : m_model.Image().program;
    AtomicCopy(&out, &source, sizeof(ProgramImage));
}

std::vector<FieldDifference> CAbCompare::Differences() const {
    if (!m_started) {
        return {};
    }
    auto a = std::make_unique<ProgramImage>();
    auto b = std::make_unique<ProgramImage>();
    ReadSlot(kA, *a);
    ReadSlot(kB, *b);
    return CImageDiff::ComparePrograms(*a, *b);
}

CSwitchCost::Route CAbCompare::Press() {
    const Slot next = m_active == kA ? kB : kA;
    // The slot in use takes the editor's program as it is now, edits included.
    AtomicCopy(m_slots[m_active].get(), &m_model.Image().program, sizeof(ProgramImage));
    if (!m_started) {
        AtomicCopy(m_slots[next].get(), &m_model.Image().program, sizeof(ProgramImage));
        m_started = true;
    }
    ProgramImage& target = *m_slots[next];

    const std::string label = std::string("A/B → ") + SlotName(next);
    const ChangeOrigin origin = ChangeOrigin::FromControl(0, label);
    {
        // The worker copies into the sent image under the lock: estimate from a whole reading.
        ParamGuard guard(ParamLock);
        m_lastDifferences = CSwitchCost::ByDifferences(m_sent, target, SceneInForce(), m_costs);
    }
    CSwitchCost::Route route =
        CSwitchCost::Choose(m_lastDifferences, CSwitchCost::ByProgramWrite(m_costs));
    if (!m_canWriteProgram || !m_writeProgram || !m_canWriteProgram()) {
        route = CSwitchCost::Route::Differences;
    }
    {
        CImageModel::StepScope step(m_model, label);
        if (route == CSwitchCost::Route::ProgramWrite) {
            // As a program import does: the sum over the program goes with it, and the slot is
            // copied into the image and its sent copy before the frame is queued from the image.
            target.imageSum = ProgramSum(target);
            ParamGuard guard(ParamLock);
            m_model.AdoptProgram(&target, origin);
            m_writeProgram();
        } else {
            m_model.WriteBytes(0, &target, sizeof(ProgramImage), origin);
        }
    }
    m_active = next;
    emit SlotChanged(m_active);
    return route;
}

}  // namespace qx
