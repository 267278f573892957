#include "RoomTuning.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "MeasurementReader.h"

namespace qx {

CRoomTuning& CRoomTuning::Instance() {
    static CRoomTuning* tuning = new CRoomTuning();  // lives as long as the session
    return *tuning;
}

const RoomState* CRoomTuning::State(int eqNumber) const {
    const auto it = m_states.find(eqNumber);
    return it == m_states.end() ? nullptr : &it->second;
}

RoomState& CRoomTuning::Edit(int eqNumber) {
    return m_states[eqNumber];
}

void CRoomTuning::Update(int eqNumber) {
    RoomState& s = Edit(eqNumber);
    s.curve = CRoomCurve::FromMeasurement(s.measurement, s.smoothing);
    if (s.autoOffset) {
        s.offsetDb = std::round(CRoomCurve::CentreLevel(s.curve));
    }
    emit Changed(eqNumber);
}

void CRoomTuning::SetMeasurement(int eqNumber, Measurement m, const std::string& source) {
    RoomState& s = Edit(eqNumber);
    s.measurement = std::move(m);
    s.source = source;
    s.autoOffset = true;
    Update(eqNumber);
}

void CRoomTuning::SetSmoothing(int eqNumber, int smoothingN) {
    Edit(eqNumber).smoothing = smoothingN;
    Update(eqNumber);
}

void CRoomTuning::SetTarget(int eqNumber, const RoomTarget& target, const std::string& source) {
    RoomState& s = Edit(eqNumber);
    s.target = target;
    s.targetSource = source;
    emit Changed(eqNumber);
}

void CRoomTuning::SetOffset(int eqNumber, double offsetDb) {
    RoomState& s = Edit(eqNumber);
    s.autoOffset = std::isnan(offsetDb);
    if (!s.autoOffset) {
        s.offsetDb = offsetDb;
    }
    Update(eqNumber);
}

void CRoomTuning::Clear(int eqNumber) {
    m_states.erase(eqNumber);
    emit Changed(eqNumber);
}

std::string CRoomTuning::BesidePath(const std::string& programPath) {
    const auto dot = programPath.find_last_of('.');
    const auto slash = programPath.find_last_of("/\\");
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? programPath.substr(0, dot) : programPath) + ".room";
}

// The file: per equaliser a header line "eq N smoothing S offset O|auto target KIND a b c",
// then "measurement K" and K points, then "house K" and K points. Points are written with
// enough digits to read back the same doubles.
bool CRoomTuning::SaveBeside(const std::string& programPath, std::string& error) const {
    std::ostringstream out;
    out.precision(17);
    out << "# QX editor room tuning\n";
    for (const auto& [eq, s] : m_states) {
        out << "eq " << eq << " smoothing " << s.smoothing << " offset ";
        if (s.autoOffset) {
            out << "auto";
        } else {
            out << s.offsetDb;
        }
        out << " target " << static_cast<int>(s.target.kind) << " " << s.target.bassDb << " "
            << s.target.bassCornerHz << " " << s.target.trebleTiltDbPerDecade << "\n";
        out << "measurement " << s.measurement.Size() << "\n";
        for (std::size_t i = 0; i < s.measurement.Size(); ++i) {
            out << s.measurement.hz[i] << " " << s.measurement.db[i] << "\n";
        }
        out << "house " << s.target.house.Size() << "\n";
        for (std::size_t i = 0; i < s.target.house.Size(); ++i) {
            out << s.target.house.hz[i] << " " << s.target.house.db[i] << "\n";
        }
    }
    const std::string path = BesidePath(programPath);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::string text = out.str();
    if (!file || !file.write(text.data(), static_cast<std::streamsize>(text.size())) ||
        !file.flush()) {
        error = path + ": cannot be written";
        return false;
    }
    return true;
}

bool CRoomTuning::LoadBeside(const std::string& programPath, std::string& error) {
    const std::string path = BesidePath(programPath);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    std::map<int, RoomState> states;
    std::string word;
    std::string header;
    std::getline(in, header);
    auto points = [&in](const char* name, Measurement& m) {
        std::string w;
        std::size_t count = 0;
        if (!(in >> w >> count) || w != name || count > CMeasurementReader::kMaxPoints) {
            return false;
        }
        m.hz.resize(count);
        m.db.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            if (!(in >> m.hz[i] >> m.db[i]) || !std::isfinite(m.hz[i]) || !std::isfinite(m.db[i]) ||
                m.hz[i] <= 0.0 || (i > 0 && m.hz[i] <= m.hz[i - 1])) {
                return false;
            }
        }
        return true;
    };
    while (in >> word) {
        int eq = 0;
        int kind = 0;
        std::string offset;
        std::string w1, w2, w3;
        RoomState s;
        if (word != "eq" ||
            !(in >> eq >> w1 >> s.smoothing >> w2 >> offset >> w3 >> kind >> s.target.bassDb >>
              s.target.bassCornerHz >> s.target.trebleTiltDbPerDecade) ||
            kind < 0 || kind > 2 || !points("measurement", s.measurement) ||
            !points("house", s.target.house)) {
            error = path + ": not a room tuning file, or damaged";
            return false;
        }
        s.target.kind = static_cast<RoomTarget::Kind>(kind);
        s.autoOffset = offset == "auto";
        s.offsetDb = s.autoOffset ? 0.0 : std::atof(offset.c_str());
        s.source = path;
        states[eq] = std::move(s);
    }
    m_states = std::move(states);
    for (auto& [eq, s] : m_states) {
        Update(eq);
    }
    return true;
}

}  // namespace qx
