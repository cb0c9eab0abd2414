// How the engine tells the person what cannot wait for the window's status
// line: a box the person must see and dismiss (a manifest request that
// failed, a game running from this folder). The engine draws nothing and
// never ends the process; the application installs a reporter that shows
// the system's box. Without one a report is only its line on standard
// error, so tests and tools can run the engine without a display.
#pragma once

namespace update {

inline constexpr const char* kReportCaption = "Updater";

class IEngineReporter {
public:
    // Returns once the person has dismissed the box.
    virtual void ShowBox(const char* caption, const char* text) = 0;

protected:
    ~IEngineReporter() = default;
};

// GUI thread, before the engine runs; null goes back to standard error.
// The reporter must outlive its installation.
void InstallEngineReporter(IEngineReporter* reporter);

// GUI thread only: a box holds up the thread that shows it.
void ReportBox(const char* text);

}  // namespace update
