#pragma once
// What the image model announces: who changed the parameter image, which bytes, and what they
// held before and after. A notice carries enough to undo or redo each change by writing its
// old or new bytes back at its offset.

#include <QMetaType>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ProgramImage.h"

namespace qx {

enum class ChangeSource : uint8_t {
    Control,    // a person moved a control, typed a value or dragged a curve
    File,       // a program or bank file, a recall from the stored programs
    Processor,  // an image received from the processor
    Rule,       // the editor itself keeping a rule (a volume held below its maximum)
    History,    // an undo or redo writing a step's old or new bytes back
};

struct ChangeOrigin {
    ChangeSource source = ChangeSource::Control;
    int id = 0;         // the control id, when a control made the change
    std::string label;  // free text: "curve", "EQ reset", a file name

    static ChangeOrigin FromControl(int id, std::string label = {}) {
        return {ChangeSource::Control, id, std::move(label)};
    }
    static ChangeOrigin FromFile(std::string label = {}) {
        return {ChangeSource::File, 0, std::move(label)};
    }
    static ChangeOrigin FromProcessor() { return {ChangeSource::Processor, 0, {}}; }
    static ChangeOrigin FromRule(std::string label) {
        return {ChangeSource::Rule, 0, std::move(label)};
    }
    static ChangeOrigin FromHistory(std::string label = {}) {
        return {ChangeSource::History, 0, std::move(label)};
    }
};

// A byte range of the ParamImage: program 0..2711, system block 2712..2777.
struct ImageRange {
    std::size_t offset = 0;
    std::size_t size = 0;

    std::size_t End() const { return offset + size; }
    bool Overlaps(std::size_t first, std::size_t count) const {
        return first < End() && offset < first + count;
    }
};

// One change: the bytes of a range before and after, who made it, and the catalogue field
// when it was written as a single field.
struct ImageChange {
    ImageRange range;
    std::vector<uint8_t> before;
    std::vector<uint8_t> after;
    ChangeOrigin origin;
    std::string field;           // empty for records and blocks
    bool throughFilter = false;  // a curve's filter wrote it (a drag): that curve shows it
};

// Everything that changed in one turn of the event loop, in the order it was written.
class ImageNotice {
  public:
    static constexpr std::size_t kImageSize = sizeof(ParamImage);

    void Add(ImageChange change);
    const std::vector<ImageChange>& Changes() const { return m_changes; }
    bool Empty() const { return m_changes.empty(); }

    // True when a byte of [offset, offset + size) changed.
    bool Touches(std::size_t offset, std::size_t size) const;
    bool TouchesProgram() const;
    bool TouchesSystem() const;
    // True when a change of the given source touched the range.
    bool TouchedBy(ChangeSource source, std::size_t offset, std::size_t size) const;

  private:
    std::vector<ImageChange> m_changes;
    std::bitset<kImageSize> m_touched;
};

}  // namespace qx

Q_DECLARE_METATYPE(qx::ImageNotice)
