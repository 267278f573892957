#pragma once
// A virtual processor: holds its own program image, system block and 21 stored programs,
// takes request frames from a byte stream and builds the replies the real processor gives.
// Thread-safe: the transport feeds it on one thread while tests inspect it on another.

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ProgramImage.h"
#include "SimOptions.h"

namespace qx {

class CVirtualProcessor {
  public:
    // startImage is the state the processor starts in (the sim keeps its own copy).
    explicit CVirtualProcessor(const ParamImage& startImage, const SimOptions& options = {});

    // Replaces the stored programs and the system block with a bank file's contents
    // (57019 bytes); program 1 becomes the current one.
    bool LoadBankFile(const std::string& path, std::string* error);
    void LoadBank(const BankImage& bank);

    void SetOptions(const SimOptions& options);
    SimOptions Options() const;

    // Takes bytes from the line; returns the replies of the requests they completed, in order.
    std::vector<std::vector<uint8_t>> Feed(const uint8_t* bytes, int count);
    // One complete request frame (header to checksum); the reply, empty for none.
    std::vector<uint8_t> Handle(const uint8_t* frame, int length);

    // Snapshots for inspection.
    ParamImage Image() const;
    ProgramImage StoredProgram(int number) const;  // 1..21
    // Every request received, in order (complete frames with a good checksum).
    std::vector<std::vector<uint8_t>> Requests() const;
    int CountRequests(uint8_t command) const;
    void ClearRequests();
    // Changes the processor's own state, as if a user turned a knob on its panel.
    void Modify(const std::function<void(ParamImage&, BankImage&)>& change);

  private:
    std::vector<uint8_t> Reply(uint8_t command, const std::vector<uint8_t>& data);
    std::vector<uint8_t> Ack(uint8_t command, uint8_t status);
    bool ApplyParameter(const uint8_t* frame, int length);
    int SceneInForce() const;
    std::vector<uint8_t> MonitorLevels(uint8_t poll);

    mutable std::mutex m_lock;
    SimOptions m_options;
    ParamImage m_image;
    BankImage m_bank;  // programs and the system block as stored
    int m_rememberedScene = 1;
    int m_parameterFrames = 0;
    int m_replies = 0;
    unsigned m_tick = 0;
    std::vector<uint8_t> m_pending;  // bytes of an incomplete request
    std::vector<std::vector<uint8_t>> m_requests;
};

}  // namespace qx
