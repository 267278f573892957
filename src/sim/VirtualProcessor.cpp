#include "VirtualProcessor.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "ChangeSync.h"
#include "ProgramFile.h"

namespace qx {

namespace {

constexpr uint8_t kProbe = 0x7F, kReadName = 0x80, kReadSystem = 0x81, kReadProgram = 0x82,
                  kWriteSystem = 0x83, kWriteProgram = 0x84, kRecall = 0x85, kStore = 0x86,
                  kSystemPassword = 0x8C, kPanelPassword = 0x8D;

void SetName(ProgramImage& p, const char* text) {
    const std::size_t n = std::strlen(text);
    for (int i = 0; i < kNameLength; ++i) {
        p.name[i].raw = static_cast<std::size_t>(i) < n ? static_cast<uint8_t>(text[i]) : ' ';
    }
}

int Count(const uint8_t* frame) {
    return frame[2] | (frame[3] << 8);
}

}  // namespace

CVirtualProcessor::CVirtualProcessor(const ParamImage& startImage, const SimOptions& options)
    : m_options(options), m_image(startImage) {
    std::memset(&m_bank, 0, sizeof m_bank);
    std::memcpy(&m_bank.BankSystemBlock, &m_image.system, sizeof(SystemImage));
    for (int i = 0; i < kProgramCount; ++i) {
        ProgramImage& p = m_bank.programs[i];
        p = m_image.program;
        char name[24];
        if (i < 16) {
            std::snprintf(name, sizeof name, "MODE %02d", i + 1);
        } else {
            std::snprintf(name, sizeof name, "F%d", i - 15);
        }
        SetName(p, name);
    }
    m_bank.bankValid.raw = 1;
    SetName(m_image.program, "MODE 01");
    m_image.system.block.currentProgram.raw = 1;
    const int mode = m_image.program.OutputMode.raw;
    m_rememberedScene = (mode >= 1 && mode <= 3) ? mode : 1;
}

bool CVirtualProcessor::LoadBankFile(const std::string& path, std::string* error) {
    // Read as the editor reads an all-programs file, with the same messages.
    auto bank = std::make_unique<BankImage>();
    const FileResult r = CProgramFile::ReadBank(path, *bank);
    if (!r.ok) {
        if (error != nullptr) {
            *error = r.error;
        }
        return false;
    }
    LoadBank(*bank);
    return true;
}

void CVirtualProcessor::LoadBank(const BankImage& bank) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_bank = bank;
    std::memcpy(&m_image.system, &bank.BankSystemBlock, sizeof(SystemImage));
    m_image.program = bank.programs[0];
    m_image.system.block.currentProgram.raw = 1;
}

void CVirtualProcessor::SetOptions(const SimOptions& options) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_options = options;
}

SimOptions CVirtualProcessor::Options() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_options;
}

ParamImage CVirtualProcessor::Image() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_image;
}

ProgramImage CVirtualProcessor::StoredProgram(int number) const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_bank.programs[(number >= 1 && number <= kProgramCount) ? number - 1 : 0];
}

std::vector<std::vector<uint8_t>> CVirtualProcessor::Requests() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_requests;
}

int CVirtualProcessor::CountRequests(uint8_t command) const {
    std::lock_guard<std::mutex> guard(m_lock);
    int n = 0;
    for (const auto& r : m_requests) {
        n += r[4] == command ? 1 : 0;
    }
    return n;
}

void CVirtualProcessor::ClearRequests() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_requests.clear();
}

void CVirtualProcessor::Modify(const std::function<void(ParamImage&, BankImage&)>& change) {
    std::lock_guard<std::mutex> guard(m_lock);
    change(m_image, m_bank);
}

std::vector<std::vector<uint8_t>> CVirtualProcessor::Feed(const uint8_t* bytes, int count) {
    std::vector<std::vector<uint8_t>> replies;
    m_pending.insert(m_pending.end(), bytes, bytes + count);
    for (;;) {
        // Resynchronise on FF 55; anything before it is line noise.
        std::size_t start = 0;
        while (start + 1 < m_pending.size() &&
               !(m_pending[start] == kHeader1 && m_pending[start + 1] == kHeader2)) {
            ++start;
        }
        if (start + 1 >= m_pending.size()) {
            if (!m_pending.empty() && m_pending.back() == kHeader1) {
                m_pending.erase(m_pending.begin(), m_pending.end() - 1);
            } else {
                m_pending.clear();
            }
            return replies;
        }
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<long>(start));
        if (m_pending.size() < 4) {
            return replies;
        }
        const int frameCount = Count(m_pending.data());
        if (frameCount < 2 || frameCount > kMaxCount) {
            m_pending.erase(m_pending.begin());  // not a frame: look for the next header
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(frameCount) + 4;
        if (m_pending.size() < length) {
            return replies;
        }
        std::vector<uint8_t> reply = Handle(m_pending.data(), static_cast<int>(length));
        if (!reply.empty()) {
            replies.push_back(std::move(reply));
        }
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<long>(length));
    }
}

std::vector<uint8_t> CVirtualProcessor::Reply(uint8_t command, const std::vector<uint8_t>& data) {
    const int count = static_cast<int>(data.size()) + 2;
    std::vector<uint8_t> f(data.size() + 6);
    f[0] = m_options.altHeader ? kAltHeader1 : kHeader1;
    f[1] = m_options.altHeader ? kAltHeader2 : kHeader2;
    f[2] = static_cast<uint8_t>(count & 0xFF);
    f[3] = static_cast<uint8_t>(count >> 8);
    f[4] = command;
    std::copy(data.begin(), data.end(), f.begin() + 5);
    unsigned sum = 0;
    for (std::size_t i = 2; i + 1 < f.size(); ++i) {
        sum += f[i];
    }
    ++m_replies;
    if (m_options.corruptEvery > 0 && m_replies % m_options.corruptEvery == 0) {
        ++sum;
    }
    f.back() = static_cast<uint8_t>(sum);
    return f;
}

std::vector<uint8_t> CVirtualProcessor::Ack(uint8_t command, uint8_t status) {
    return Reply(command, {status});
}

int CVirtualProcessor::SceneInForce() const {
    const int mode = m_image.program.OutputMode.raw;
    return (mode >= 1 && mode <= 3) ? mode : m_rememberedScene;
}

std::vector<uint8_t> CVirtualProcessor::MonitorLevels(uint8_t poll) {
    // Slowly moving levels, different in every lamp.
    ++m_tick;
    std::vector<uint8_t> v(12);
    for (int i = 0; i < 12; ++i) {
        const unsigned phase = (m_tick * (3 + static_cast<unsigned>(i)) + 17u * i + poll) % 400u;
        v[static_cast<std::size_t>(i)] = static_cast<uint8_t>(phase < 200 ? phase : 400 - phase);
    }
    return v;
}

bool CVirtualProcessor::ApplyParameter(const uint8_t* frame, int length) {
    const uint8_t command = frame[4];
    const int index = length > 6 ? frame[5] : -1;
    const int scene = SceneInForce();
    uint8_t* image = BytesOf(m_image);
    const SyncItem* chosen = nullptr;
    const SyncItem* fallback = nullptr;
    for (const SyncItem& item : SyncItems()) {
        if (item.command != command || (item.index >= 0 && item.index != index) ||
            item.dataPos + item.length > length - 1) {
            continue;
        }
        if (command != 0x04) {
            chosen = &item;
            break;
        }
        // A high-pass and its low-pass share one index; the record's kind byte tells them apart.
        if (fallback == nullptr) {
            fallback = &item;
        }
        if (image[SyncItemOffset(item, scene)] == frame[item.dataPos]) {
            chosen = &item;
            break;
        }
    }
    if (chosen == nullptr) {
        chosen = fallback;
    }
    if (chosen == nullptr) {
        return false;
    }
    uint8_t* dst = image + SyncItemOffset(*chosen, scene);
    const uint8_t* src = frame + chosen->dataPos;
    switch (chosen->kind) {
        case SyncKind::Plain:
            std::memcpy(dst, src, chosen->length);
            break;
        case SyncKind::LowNibble:
            dst[0] = static_cast<uint8_t>((dst[0] & 0xF0) | (src[0] & 0x0F));
            break;
        case SyncKind::HighNibble:
            dst[0] = static_cast<uint8_t>((dst[0] & 0x0F) | ((src[0] & 0x0F) << 4));
            break;
    }
    if (command == 0x8E) {
        const int mode = m_image.program.OutputMode.raw;
        if (mode >= 1 && mode <= 3) {
            m_rememberedScene = mode;
        }
    }
    return true;
}

std::vector<uint8_t> CVirtualProcessor::Handle(const uint8_t* frame, int length) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (length < 6 || Count(frame) + 4 != length) {
        return {};
    }
    unsigned sum = 0;
    for (int i = 2; i < length - 1; ++i) {
        sum += frame[i];
    }
    if (static_cast<uint8_t>(sum) != frame[length - 1]) {
        return {};  // a damaged request is not answered
    }
    m_requests.emplace_back(frame, frame + length);
    if (m_options.silent || (m_options.silentCommand >= 0 && frame[4] == m_options.silentCommand)) {
        return {};
    }
    const uint8_t command = frame[4];
    const uint8_t arg = length > 6 ? frame[5] : 0;
    const uint8_t* data = frame + 5;
    const int dataLength = length - 6;
    SystemBlock& system = m_image.system.block;
    switch (command) {
        case kPollA:
        case kPollB:
            return Reply(command, MonitorLevels(command));
        case kProbe:
            return Reply(command, {0, static_cast<uint8_t>(m_options.storePermission)});
        case kReadName: {
            std::vector<uint8_t> d = {arg};
            const ProgramImage* p = arg == 0               ? &m_image.program
                                    : arg <= kProgramCount ? &m_bank.programs[arg - 1]
                                                           : nullptr;
            for (int i = 0; i < kNameLength; ++i) {
                d.push_back(p != nullptr ? p->name[i].raw : ' ');
            }
            return Reply(command, d);
        }
        case kReadSystem: {
            const uint8_t* s = BytesOf(m_image.system);
            return Reply(command, std::vector<uint8_t>(s, s + sizeof(SystemImage)));
        }
        case kReadProgram:
        case kRecall: {
            if (command == kRecall && arg >= 1 && arg <= kProgramCount) {
                m_image.program = m_bank.programs[arg - 1];
                system.currentProgram.raw = arg;
            }
            const ProgramImage& p = (command == kReadProgram && arg >= 1 && arg <= kProgramCount)
                                        ? m_bank.programs[arg - 1]
                                        : m_image.program;
            std::vector<uint8_t> d = {arg};
            const uint8_t* b = BytesOf(p);
            d.insert(d.end(), b, b + sizeof(ProgramImage));
            return Reply(command, d);
        }
        case kWriteSystem:
            if (dataLength >= 1 + static_cast<int>(sizeof(SystemImage))) {
                std::memcpy(&m_bank.BankSystemBlock, data + 1, sizeof(SystemImage));
                const uint8_t current = system.currentProgram.raw;
                std::memcpy(&m_image.system, data + 1, sizeof(SystemImage));
                system.currentProgram.raw = current;
            }
            return Ack(command, 0);
        case kWriteProgram:
            if (dataLength >= 1 + static_cast<int>(sizeof(ProgramImage))) {
                if (arg == 0) {
                    std::memcpy(&m_image.program, data + 1, sizeof(ProgramImage));
                } else if (arg <= kProgramCount) {
                    std::memcpy(&m_bank.programs[arg - 1], data + 1, sizeof(ProgramImage));
                }
            }
            return Ack(command, 0);
        case kStore:
            if (arg >= 1 && arg <= kProgramCount && dataLength >= 1 + kNameLength) {
                ProgramImage& p = m_bank.programs[arg - 1];
                p = m_image.program;
                std::memcpy(p.name, data + 1, kNameLength);
                std::memcpy(m_image.program.name, data + 1, kNameLength);
                system.currentProgram.raw = arg;
            }
            return Ack(command, 0);
        case kSystemPassword:
            if (dataLength >= 12 && std::memcmp(system.systemPassword, data, 6) == 0) {
                std::memcpy(system.systemPassword, data + 6, 6);
            }
            return Ack(command, 0);
        case kPanelPassword:
            if (dataLength >= 8 && std::memcmp(system.panelPassword, data, 4) == 0) {
                std::memcpy(system.panelPassword, data + 4, 4);
            }
            return Ack(command, 0);
        default:
            break;
    }
    if (FindSyncItem(command, arg) != nullptr) {
        ++m_parameterFrames;
        if (m_options.rejectEvery > 0 && m_parameterFrames % m_options.rejectEvery == 0) {
            return Ack(command, 2);
        }
        ApplyParameter(frame, length);
    }
    return Ack(command, 0);
}

}  // namespace qx
