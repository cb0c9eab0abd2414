// Records the engine's boxes as "caption|text", in the order reported, for
// as long as it lives.
#pragma once

#include <string>
#include <vector>

#include "update/EngineReports.h"

namespace enginetest {

class RecordingReporter final : public update::IEngineReporter {
public:
    RecordingReporter() { update::InstallEngineReporter(this); }
    ~RecordingReporter() { update::InstallEngineReporter(nullptr); }
    RecordingReporter(const RecordingReporter&) = delete;
    RecordingReporter& operator=(const RecordingReporter&) = delete;

    void ShowBox(const char* caption, const char* text) override {
        m_boxes.push_back(std::string(caption) + "|" + text);
    }

    const std::vector<std::string>& Boxes() const { return m_boxes; }
    void Clear() { m_boxes.clear(); }

private:
    std::vector<std::string> m_boxes;
};

}  // namespace enginetest
