#pragma once
// A venue's list of processors: a JSON file
//   {"rooms": [{"name": "A01", "port": "socket://dsp-a01.local:4001", "tags": ["small"]}, ...]}
// where a port is a device path or a network address (socket://, rfc2217://). A file with a
// duplicate room name, an unknown key, a bad address, a name unfit for a file name or no rooms
// is refused with the line it was found on and the reason.

#include <string>
#include <vector>

namespace qx {

struct FleetRoom {
    std::string name;
    std::string port;
    std::vector<std::string> tags;
    int line = 0;  // where the room's entry starts in the file

    bool HasTag(const std::string& tag) const;
};

class CFleetFile {
  public:
    // Parses the text of a fleet file. False with error "LINE: reason" (the path is not
    // part of it).
    static bool Parse(const std::string& text, std::vector<FleetRoom>& rooms, std::string& error);
    // Reads and parses path; errors read "PATH:LINE: reason".
    static bool Load(const std::string& path, std::vector<FleetRoom>& rooms, std::string& error);
    // The room called name, or nullptr.
    static const FleetRoom* Find(const std::vector<FleetRoom>& rooms, const std::string& name);
    // Why port is no address a room can have; empty when it is one.
    static std::string AddressProblem(const std::string& port);
};

}  // namespace qx
