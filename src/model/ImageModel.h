#pragma once
// The one path by which the user-interface thread writes the parameter image: single fields by
// catalogue name, whole bytes of bit fields, 16-bit fields, whole records, and whole blocks (link
// copies, EQ reset, adopted files). Curve drags reach it through the filters' write seam
// (RecordWrites.h), and images the serial worker adopted are reported to it as received.
//
// Each write keeps the bytes it is about to replace (the first time in a turn) and records its
// range and who made it. Once per turn of the event loop the model compares the recorded
// ranges with those old bytes, or with the image as last announced for writes it only hears
// of afterwards (received images), and emits one Changed
// notice naming every range that really changed, with its old and new bytes; a write equal to
// what the image already held announces nothing. Subscribers (bound controls, curve views, the
// top bar) redraw from the notice; the coming undo history records it.
//
// Written is emitted at once, inside each write, for rules that must hold before anything
// else happens (a master volume held below its maximum); everything else listens to Changed.
// The curve sets over written records are attached again inside the write too, so a filter
// never shows a code its record no longer holds.
//
// Single-field writes are relaxed atomic byte writes without a lock, as before; whole blocks
// take ParamLock and keep the no-lost-edit rule of AdoptProgram/AdoptSystem. The model lives
// on the user-interface thread.

#include <QObject>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ImageChange.h"
#include "ParamCatalogue.h"
#include "ProgramImage.h"
#include "RecordWrites.h"

namespace qx {

class CImageModel : public QObject {
    Q_OBJECT
  public:
    // A model over an image; its announced copy starts as the image is now.
    explicit CImageModel(ParamImage& image, QObject* parent = nullptr);
    ~CImageModel() override;

    // The editor's model over the ParameterSet, made on first use; that thread owns it. It is
    // the one that hears curve drags and keeps the curve sets on the records they show.
    static CImageModel& Editor();

    ParamImage& Image() const { return m_image; }

    // Single fields: the code is held to the field's range. False when the name names no
    // field or a text or byte field.
    bool WriteField(const ParamField& field, int code, const ChangeOrigin& origin);
    bool WriteField(const std::string& name, int code, const ChangeOrigin& origin);
    // The whole byte that holds a field, its other bit fields included (a master volume
    // stored with its mute bit cleared in one write).
    bool WriteFieldByte(const ParamField& field, uint8_t byte, const ChangeOrigin& origin);
    // A 16-bit little-endian field at an offset of the ParamImage.
    void Write16(std::size_t offset, uint16_t value, const ChangeOrigin& origin);
    // Whole records: `size` bytes from source at an offset of the ParamImage.
    void WriteBytes(std::size_t offset, const void* source, std::size_t size,
                    const ChangeOrigin& origin);
    template <class Record>
    void WriteRecord(Record& inImage, const Record& source, const ChangeOrigin& origin) {
        WriteBytes(OffsetOf(&inImage), &source, sizeof(Record), origin);
    }

    // Whole blocks, copied into the image and its sent copy as ParameterSet.h describes; the
    // curve sets over the copied records follow at once.
    void LinkMusic(const ChangeOrigin& origin);
    void LinkMic(const ChangeOrigin& origin);
    void CopyEchoAToB(const ChangeOrigin& origin);
    void CopyReverbToShadow(const ChangeOrigin& origin);
    void LinkOutputPair(int eqNumber, const ChangeOrigin& origin);
    void ResetEqBands(int eqNumber, const ChangeOrigin& origin);
    void AdoptProgram(const void* image, const ChangeOrigin& origin);
    void AdoptSystem(const void* image, const ChangeOrigin& origin);

    // Writes made elsewhere. NoteWritten records a range written by code that holds the
    // image itself (a filter during a drag reaches it through the write seam).
    void NoteWritten(std::size_t offset, std::size_t size, const ChangeOrigin& origin);
    // The serial worker adopted a program or a system block from the processor (called on the
    // user-interface thread when its notice arrives): announced at once, as the processor's.
    void NoteProgramReceived();
    void NoteSystemReceived();
    // The whole image was replaced by an operation that wrote it itself (a recall, a file
    // import of the device modes): announced at once with the given origin.
    void NoteImageReplaced(const ChangeOrigin& origin);

    // Announces what is recorded now instead of at the end of the turn.
    void Flush();
    bool HasPending() const { return !m_pending.empty(); }
    // Takes the image as it is now as announced, with no notice (after start-up defaults).
    void Resynchronise();

    // Steps of the undo history. Every change announced between BeginStep and the matching
    // EndStep (nested pairs count as one) is one step: a drag from press to release, a copy of
    // many fields, a file import. With no step open, each notice is a step of its own.
    // EndStep announces what is pending before it reports the step's end.
    void BeginStep(const std::string& label = {});
    void EndStep();
    bool StepOpen() const { return m_stepDepth > 0; }

    class StepScope {
      public:
        explicit StepScope(CImageModel& model, const std::string& label = {});
        ~StepScope();
        StepScope(const StepScope&) = delete;
        StepScope& operator=(const StepScope&) = delete;

      private:
        CImageModel& m_model;
    };

    // Filter writes (curve drags) carry this origin; a control's hooks set it while they run.
    class OriginScope {
      public:
        OriginScope(CImageModel& model, ChangeOrigin origin);
        ~OriginScope();
        OriginScope(const OriginScope&) = delete;
        OriginScope& operator=(const OriginScope&) = delete;

      private:
        CImageModel& m_model;
        std::optional<ChangeOrigin> m_previous;
    };

    std::size_t OffsetOf(const void* inImage) const;
    bool Contains(const void* first, std::size_t size) const;

  signals:
    // Once per turn of the event loop.
    void Changed(const qx::ImageNotice& notice);
    // At once, inside the write.
    void Written(qx::ImageRange range, const qx::ChangeOrigin& origin);
    // The outermost BeginStep, with its label; the matching EndStep, after the step's last
    // Changed notice.
    void StepBegun(const std::string& label);
    void StepEnded();

  private:
    struct Pending {
        ImageRange range;
        ChangeOrigin origin;
        std::string field;
        bool throughFilter = false;
    };
    // What the curve sets need after a write.
    enum class Curves {
        Attach,    // attach the sets over the written records again
        Attached,  // the operation attached them itself
        Drawn,     // a filter wrote it and shows it already
    };

    // Keeps the bytes of a range as they are just before this turn's first write to them, so
    // a notice's old bytes are what the write replaced even where something wrote the image
    // without the model.
    void Capture(ImageRange range);
    void Capture(const void* first, std::size_t size) { Capture({OffsetOf(first), size}); }
    void Record(ImageRange range, const ChangeOrigin& origin, std::string field = {},
                Curves curves = Curves::Attach);
    void RecordBlock(const void* first, std::size_t size, const ChangeOrigin& origin);
    static void OnFilterWrite(void* context, const void* first, std::size_t size, RecordWrite when);

    ParamImage& m_image;
    std::unique_ptr<ParamImage> m_announced;     // the image as last announced
    std::vector<uint8_t> m_now;                  // the recorded ranges as read at a flush
    std::bitset<sizeof(ParamImage)> m_captured;  // bytes kept by Capture this turn
    std::vector<Pending> m_pending;
    std::optional<ChangeOrigin> m_scopeOrigin;
    bool m_flushQueued = false;
    int m_stepDepth = 0;
    bool m_editor = false;  // over the ParameterSet: hears the filters, keeps the curve sets
};

}  // namespace qx
