#pragma once
// qxctl: the command-line tool. Run() takes the words after the program name and writes to
// the given streams; it returns the exit code (0 success, 1 failure, 2 bad usage; diff
// returns 1 when the files differ). Every failure is one line "qxctl: ..." on err.

#include <iosfwd>
#include <string>
#include <vector>

#include "CommandArgs.h"
#include "LinkTiming.h"
#include "ParamCatalogue.h"
#include "ProgramImage.h"

namespace qx {

struct QxctlCommand;

class CQxctl {
  public:
    CQxctl(std::ostream& out, std::ostream& err);

    int Run(const std::vector<std::string>& args);

    // A loaded file: a program or a whole bank.
    struct LoadedFile {
        bool isBank = false;
        ParamImage program{};
        BankImage bank{};
    };
    // Reads a program or an all-programs file, told apart by size.
    static bool LoadAnyFile(const std::string& path, LoadedFile& file, std::string& error);
    // The fields in which two loaded files of one kind differ, named and shown as
    // `qxctl diff` prints them ("NAME: FROM -> TO").
    struct DiffLine {
        std::string name;
        std::string from;
        std::string to;
    };
    static std::vector<DiffLine> Differences(const LoadedFile& a, const LoadedFile& b);
    // Parses NAME=VALUE words into catalogue fields and values; nothing is applied.
    struct Assignment {
        const ParamField* field = nullptr;
        ParsedValue value;
        std::string typed;  // the value as given
    };
    static bool ParseAssignments(const std::vector<std::string>& words,
                                 std::vector<Assignment>& out, std::string& error);
    // Tells on err which typed values lay between two steps and which step is used instead.
    void NoteRounded(const std::string& command, const std::vector<Assignment>& assignments);
    // How many fields of the file lie outside their ranges (of its programs only, or all).
    static int OutOfRangeFields(const LoadedFile& file, bool programsOnly);

    std::ostream& Out() { return m_out; }
    std::ostream& Err() { return m_err; }
    // Progress bars are drawn on err when it is a terminal; tests force them.
    void ForceProgress(bool on) { m_forceProgress = on; }
    // The link's pauses and time-outs for commands that reach the processor (tests shorten
    // them); the processor's own timing by default.
    void SetLinkTiming(const LinkTiming& timing) { m_linkTiming = timing; }
    const LinkTiming& Timing() const { return m_linkTiming; }
    bool DrawsProgress() const;
    // Writes "qxctl: <command>: <message>" and returns the code.
    int Fail(const std::string& command, const std::string& message, int code = 1);

  private:
    int Help(const std::vector<std::string>& words);
    int CommandHelp(const QxctlCommand& c);

    int Show(const CCommandArgs& a);
    int Diff(const CCommandArgs& a);
    int ToJson(const CCommandArgs& a);
    int FromJson(const CCommandArgs& a);
    int SetFile(const CCommandArgs& a);

    std::ostream& m_out;
    std::ostream& m_err;
    bool m_forceProgress = false;
    LinkTiming m_linkTiming = LinkTiming::Real();
};

}  // namespace qx
