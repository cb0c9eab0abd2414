#include "update/EngineReports.h"

#include <atomic>

#include "platform/Platform.h"

namespace update {

namespace {

std::atomic<IEngineReporter*> g_reporter{nullptr};

}  // namespace

void InstallEngineReporter(IEngineReporter* reporter) { g_reporter.store(reporter); }

void ReportBox(const char* text) {
    if (IEngineReporter* reporter = g_reporter.load()) {
        reporter->ShowBox(kReportCaption, text);
        return;
    }
    platform::WriteErrorLine(kReportCaption, text);
}

}  // namespace update
