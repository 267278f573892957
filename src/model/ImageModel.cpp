#include "ImageModel.h"

#include <QThread>
#include <algorithm>
#include <cstring>

#include "ByteField.h"
#include "CurveSets.h"
#include "ParameterSet.h"
#include "RecordWrites.h"

namespace qx {

namespace {

constexpr std::size_t kImageSize = sizeof(ParamImage);

uint8_t* BytesOf(ParamImage& image) {
    return CParamCatalogue::Bytes(image);
}

}  // namespace

CImageModel::CImageModel(ParamImage& image, QObject* parent)
    : QObject(parent),
      m_image(image),
      m_announced(std::make_unique<ParamImage>()),
      m_now(kImageSize) {
    Resynchronise();
}

CImageModel::~CImageModel() {
    if (m_editor) {
        SetRecordWriteObserver(nullptr, nullptr);
    }
}

CImageModel& CImageModel::Editor() {
    // Never destroyed: pages and views made and dropped at any time hold on to it.
    static CImageModel* const editor = [] {
        auto* model = new CImageModel(ParameterSet);
        model->m_editor = true;
        SetRecordWriteObserver(&CImageModel::OnFilterWrite, model);
        return model;
    }();
    return *editor;
}

std::size_t CImageModel::OffsetOf(const void* inImage) const {
    return static_cast<std::size_t>(static_cast<const uint8_t*>(inImage) - BytesOf(m_image));
}

bool CImageModel::Contains(const void* first, std::size_t size) const {
    const auto* p = static_cast<const uint8_t*>(first);
    const uint8_t* base = BytesOf(m_image);
    return p >= base && p + size <= base + kImageSize;
}

void CImageModel::Resynchronise() {
    AtomicCopy(m_announced.get(), &m_image, kImageSize);
    m_pending.clear();
    m_captured.reset();
}

void CImageModel::Capture(ImageRange range) {
    if (range.offset >= kImageSize) {
        return;
    }
    const std::size_t end = std::min(range.End(), kImageSize);
    auto* announced = reinterpret_cast<uint8_t*>(m_announced.get());
    const uint8_t* image = BytesOf(m_image);
    for (std::size_t i = range.offset; i < end; ++i) {
        if (!m_captured.test(i)) {
            announced[i] = LoadByte(image[i]);
            m_captured.set(i);
        }
    }
}

void CImageModel::Record(ImageRange range, const ChangeOrigin& origin, std::string field,
                         Curves curves) {
    if (range.offset >= kImageSize || range.size == 0) {
        return;
    }
    range.size = std::min(range.size, kImageSize - range.offset);
    m_pending.push_back({range, origin, std::move(field), curves == Curves::Drawn});
    if (!m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(this, &CImageModel::Flush, Qt::QueuedConnection);
    }
    if (m_editor && curves == Curves::Attach) {
        // The curve sets over the written records show the new codes before anyone draws.
        // Attaching holds stray codes at the ends of their ranges: the editor's own change.
        const OriginScope scope(*this, ChangeOrigin::FromRule("EQ code limits"));
        AttachCurveSetsTouching(
            [range](std::size_t offset, std::size_t size) { return range.Overlaps(offset, size); });
    }
    emit Written(range, origin);
}

void CImageModel::RecordBlock(const void* first, std::size_t size, const ChangeOrigin& origin) {
    // The protocol's block operations attach the curve sets they copy over themselves.
    Record({OffsetOf(first), size}, origin, {}, Curves::Attached);
}

bool CImageModel::WriteField(const ParamField& field, int code, const ChangeOrigin& origin) {
    if (field.IsBytes()) {
        return false;
    }
    ParsedValue v;
    v.code = static_cast<uint32_t>(std::clamp(code, field.minimum, field.maximum));
    Capture({static_cast<std::size_t>(field.offset), static_cast<std::size_t>(field.width)});
    CParamCatalogue::Apply(BytesOf(m_image), field, v);
    Record({static_cast<std::size_t>(field.offset), static_cast<std::size_t>(field.width)}, origin,
           field.name);
    return true;
}

bool CImageModel::WriteField(const std::string& name, int code, const ChangeOrigin& origin) {
    const ParamField* f = CParamCatalogue::Find(name);
    return f != nullptr && WriteField(*f, code, origin);
}

bool CImageModel::WriteFieldByte(const ParamField& field, uint8_t byte,
                                 const ChangeOrigin& origin) {
    if (field.IsBytes()) {
        return false;
    }
    Capture({static_cast<std::size_t>(field.offset), 1});
    StoreByte(BytesOf(m_image)[field.offset], byte);
    Record({static_cast<std::size_t>(field.offset), 1}, origin, field.name);
    return true;
}

void CImageModel::Write16(std::size_t offset, uint16_t value, const ChangeOrigin& origin) {
    if (offset + 2 > kImageSize) {
        return;
    }
    Capture({offset, 2});
    uint8_t* b = BytesOf(m_image) + offset;
    StoreByte(b[0], static_cast<uint8_t>(value & 0xFF));
    StoreByte(b[1], static_cast<uint8_t>(value >> 8));
    Record({offset, 2}, origin);
}

void CImageModel::WriteBytes(std::size_t offset, const void* source, std::size_t size,
                             const ChangeOrigin& origin) {
    if (offset >= kImageSize || size > kImageSize - offset) {
        return;
    }
    {
        // A record goes out whole: the worker does not compare it half-way through.
        ParamGuard guard(ParamLock);
        Capture({offset, size});
        AtomicCopy(BytesOf(m_image) + offset, source, size);
    }
    Record({offset, size}, origin);
}

void CImageModel::LinkMusic(const ChangeOrigin& origin) {
    if (&m_image != &ParameterSet) {
        return;
    }
    Capture(&ParameterSet.program.MusicRight, sizeof(MusicChannel));
    qx::LinkMusic(true);
    RecordBlock(&ParameterSet.program.MusicRight, sizeof(MusicChannel), origin);
}

void CImageModel::LinkMic(const ChangeOrigin& origin) {
    if (&m_image != &ParameterSet) {
        return;
    }
    Capture(&ParameterSet.program.Mic2, sizeof(MicChannel));
    qx::LinkMic(true);
    RecordBlock(&ParameterSet.program.Mic2, sizeof(MicChannel), origin);
}

void CImageModel::CopyEchoAToB(const ChangeOrigin& origin) {
    if (&m_image != &ParameterSet) {
        return;
    }
    Capture(&ParameterSet.program.EchoB, sizeof(EchoBlock));
    qx::CopyEchoAToB();
    Record({OffsetOf(&ParameterSet.program.EchoB), sizeof(EchoBlock)}, origin);
}

void CImageModel::CopyReverbToShadow(const ChangeOrigin& origin) {
    if (&m_image != &ParameterSet) {
        return;
    }
    Capture(&ParameterSet.program.ReverbShadow, sizeof(ReverbBlock));
    qx::CopyReverbToShadow();
    Record({OffsetOf(&ParameterSet.program.ReverbShadow), sizeof(ReverbBlock)}, origin);
}

void CImageModel::LinkOutputPair(int eqNumber, const ChangeOrigin& origin) {
    if (&m_image != &ParameterSet) {
        return;
    }
    if (eqNumber < kEqOutputFirst || eqNumber > kEqOutputLast) {
        qx::LinkOutputPair(eqNumber);
        return;
    }
    for (OutputScene& scene : ParameterSet.program.scenes) {
        Capture(&scene.channels[eqNumber - kEqOutputFirst], sizeof(OutputChannelRecord));
    }
    qx::LinkOutputPair(eqNumber);
    for (OutputScene& scene : ParameterSet.program.scenes) {
        RecordBlock(&scene.channels[eqNumber - kEqOutputFirst], sizeof(OutputChannelRecord),
                    origin);
    }
}

void CImageModel::ResetEqBands(int eqNumber, const ChangeOrigin& origin) {
    if (&m_image != &ParameterSet) {
        return;
    }
    ProgramImage& p = ParameterSet.program;
    if (eqNumber == kEqDynamicLeft || eqNumber == kEqDynamicRight) {
        MusicChannel& m = eqNumber == kEqDynamicLeft ? p.MusicLeft : p.MusicRight;
        Capture(m.deq, sizeof m.deq);
        qx::ResetEqBands(eqNumber);
        RecordBlock(m.deq, sizeof m.deq, origin);
        return;
    }
    const EqBandSpan span = EqBandsOf(p, eqNumber);
    const std::size_t size = sizeof(EqBand) * static_cast<std::size_t>(span.count);
    if (span.bands != nullptr) {
        Capture(span.bands, size);
    }
    qx::ResetEqBands(eqNumber);
    if (span.bands != nullptr) {
        RecordBlock(span.bands, size, origin);
    }
}

void CImageModel::AdoptProgram(const void* image, const ChangeOrigin& origin) {
    if (&m_image != &ParameterSet) {
        WriteBytes(0, image, sizeof(ProgramImage), origin);
        return;
    }
    Capture(&ParameterSet.program, sizeof(ProgramImage));
    qx::AdoptProgram(image);
    RecordBlock(&ParameterSet.program, sizeof(ProgramImage), origin);
}

void CImageModel::AdoptSystem(const void* image, const ChangeOrigin& origin) {
    if (&m_image != &ParameterSet) {
        WriteBytes(sizeof(ProgramImage), image, sizeof(SystemImage), origin);
        return;
    }
    Capture(&ParameterSet.system, sizeof(SystemImage));
    qx::AdoptSystem(image);
    Record({sizeof(ProgramImage), sizeof(SystemImage)}, origin);
}

void CImageModel::NoteWritten(std::size_t offset, std::size_t size, const ChangeOrigin& origin) {
    Record({offset, size}, origin);
}

void CImageModel::NoteProgramReceived() {
    // The curve sets were not attached on the worker: they follow from this record.
    Record({0, sizeof(ProgramImage)}, ChangeOrigin::FromProcessor());
    Flush();
}

void CImageModel::NoteSystemReceived() {
    Record({sizeof(ProgramImage), sizeof(SystemImage)}, ChangeOrigin::FromProcessor());
    Flush();
}

void CImageModel::NoteImageReplaced(const ChangeOrigin& origin) {
    Record({0, kImageSize}, origin);
    Flush();
}

void CImageModel::BeginStep(const std::string& label) {
    if (m_stepDepth++ == 0) {
        Flush();  // what came before belongs to no step of this one
        emit StepBegun(label);
    }
}

void CImageModel::EndStep() {
    if (m_stepDepth == 0) {
        return;
    }
    if (--m_stepDepth == 0) {
        Flush();
        emit StepEnded();
    }
}

CImageModel::StepScope::StepScope(CImageModel& model, const std::string& label) : m_model(model) {
    m_model.BeginStep(label);
}

CImageModel::StepScope::~StepScope() {
    m_model.EndStep();
}

void CImageModel::Flush() {
    m_flushQueued = false;
    if (m_pending.empty()) {
        return;
    }
    std::vector<Pending> pending;
    pending.swap(m_pending);
    m_captured.reset();

    // Only the recorded ranges are read: the image as it is now, byte by byte.
    std::vector<uint8_t>& now = m_now;
    for (const Pending& p : pending) {
        AtomicCopy(now.data() + p.range.offset, BytesOf(m_image) + p.range.offset, p.range.size);
    }
    // Only this thread touches the announced copy; it is a plain byte buffer here.
    auto* announced = reinterpret_cast<uint8_t*>(m_announced.get());

    ImageNotice notice;
    auto announce = [&](const Pending& p, std::size_t first, std::size_t end) {
        ImageChange c;
        c.range = {first, end - first};
        c.before.assign(announced + first, announced + end);
        c.after.assign(now.begin() + static_cast<std::ptrdiff_t>(first),
                       now.begin() + static_cast<std::ptrdiff_t>(end));
        c.origin = p.origin;
        c.field = p.field;
        c.throughFilter = p.throughFilter;
        std::memcpy(announced + first, now.data() + first, end - first);
        notice.Add(std::move(c));
    };
    for (const Pending& p : pending) {
        const std::size_t first = p.range.offset;
        const std::size_t end = p.range.End();
        if (!p.field.empty()) {
            // A field is announced whole, so its old and new values can be read back.
            if (std::memcmp(announced + first, now.data() + first, end - first) != 0) {
                announce(p, first, end);
            }
            continue;
        }
        // A record or block: each run of bytes that changed.
        std::size_t i = first;
        while (i < end) {
            if (announced[i] == now[i]) {
                ++i;
                continue;
            }
            std::size_t j = i;
            while (j < end && announced[j] != now[j]) {
                ++j;
            }
            announce(p, i, j);
            i = j;
        }
    }
    if (notice.Empty()) {
        return;
    }
    emit Changed(notice);
}

CImageModel::OriginScope::OriginScope(CImageModel& model, ChangeOrigin origin)
    : m_model(model), m_previous(model.m_scopeOrigin) {
    model.m_scopeOrigin = std::move(origin);
}

CImageModel::OriginScope::~OriginScope() {
    m_model.m_scopeOrigin = m_previous;
}

void CImageModel::OnFilterWrite(void* context, const void* first, std::size_t size,
                                RecordWrite when) {
    auto* model = static_cast<CImageModel*>(context);
    if (model == nullptr || !model->Contains(first, size) ||
        QThread::currentThread() != model->thread()) {
        return;  // a filter over another image, or a response computed elsewhere
    }
    if (when == RecordWrite::Before) {
        model->Capture(first, size);
        return;
    }
    const ChangeOrigin origin =
        model->m_scopeOrigin.value_or(ChangeOrigin::FromControl(0, "curve"));
    model->Record({model->OffsetOf(first), size}, origin, {}, Curves::Drawn);
}

}  // namespace qx
