#include "KTVEQ.h"

namespace qx {

void CKTVEQ::BuildEq(int bandCount, EqBand* bands, PassFilter* highPass, PassFilter* lowPass) {
    m_filters.clear();
    m_highIndex = -1;
    m_lowIndex = -1;
    m_bandCount = bandCount > 0 ? bandCount : 0;
    for (int i = 0; i < m_bandCount; ++i) {
        auto f = std::make_unique<CFilter>();
        f->SetNumber(i + 1);
        f->AttachBand(bands != nullptr ? &bands[i] : nullptr);
        m_filters.push_back(std::move(f));
    }
    if (highPass != nullptr) {
        auto f = std::make_unique<CFilter>();
        f->SetType(kTypeHighPass);
        f->AttachPassFilter(highPass);
        m_highIndex = static_cast<int>(m_filters.size());
        m_filters.push_back(std::move(f));
    }
    if (lowPass != nullptr) {
        auto f = std::make_unique<CFilter>();
        f->SetType(kTypeLowPass);
        f->AttachPassFilter(lowPass);
        m_lowIndex = static_cast<int>(m_filters.size());
        m_filters.push_back(std::move(f));
    }
    if (m_width > 0 || m_height > 0) {
        Resize(m_width, m_height);
    }
}

void CKTVEQ::BuildDynamicEq(DynamicEqBand* bands) {
    m_filters.clear();
    m_highIndex = -1;
    m_lowIndex = -1;
    m_bandCount = 3;
    for (int i = 0; i < m_bandCount; ++i) {
        auto f = std::make_unique<CFilter>();
        f->SetNumber(i + 1);
        f->SetGainLimit(1);
        f->AttachBand(&bands[i].band);
        m_filters.push_back(std::move(f));
    }
    if (m_width > 0 || m_height > 0) {
        Resize(m_width, m_height);
    }
}

void CKTVEQ::AttachEq(EqBand* bands, PassFilter* highPass, PassFilter* lowPass) {
    for (int i = 0; i < m_bandCount; ++i) {
        m_filters[i]->AttachBand(&bands[i]);
    }
    if (m_highIndex >= 0 && highPass != nullptr) {
        m_filters[m_highIndex]->AttachPassFilter(highPass);
    }
    if (m_lowIndex >= 0 && lowPass != nullptr) {
        m_filters[m_lowIndex]->AttachPassFilter(lowPass);
    }
}

void CKTVEQ::AttachDynamicEq(DynamicEqBand* bands) {
    for (int i = 0; i < m_bandCount && i < 3; ++i) {
        m_filters[i]->AttachBand(&bands[i].band);
    }
}

void CKTVEQ::Resize(int width, int height) {
    m_width = width;
    m_height = height;
    const auto& grid = DisplayGrid();
    for (int i = 0; i < kGridPoints; ++i) {
        m_total[i].x = static_cast<float>(FreqToX(grid[i].hz, width) + kPlotLeft);
    }
    for (auto& f : m_filters) {
        f->SetPlot(width, height);
    }
}

std::array<double, kGridPoints> CKTVEQ::TotalResponse() const {
    std::array<double, kGridPoints> sum{};
    for (const auto& f : m_filters) {
        const auto& r = f->GetResponse();
        for (int i = 0; i < kGridPoints; ++i) {
            sum[i] += r[i];
        }
    }
    return sum;
}

void CKTVEQ::SumCurve() {
    const std::array<double, kGridPoints> sum = TotalResponse();
    for (int i = 0; i < kGridPoints; ++i) {
        m_total[i].y = static_cast<float>(DbToY(sum[i], m_height) + kPlotTop);
    }
}

CFilter* CKTVEQ::GetHighPass() const {
    return GetAt(m_highIndex);
}

CFilter* CKTVEQ::GetLowPass() const {
    return GetAt(m_lowIndex);
}

CFilter* CKTVEQ::GetAt(int index) const {
    if (index < 0 || index >= GetSize()) {
        return nullptr;
    }
    return m_filters[index].get();
}

}  // namespace qx
