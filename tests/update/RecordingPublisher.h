// Records what the engine publishes, from any thread, for assertions.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "update/Publishers.h"
#include "vgui2/TextConvert.h"

namespace enginetest {

struct Publication {
    bool status;  // status publisher, else progress publisher
    std::string text;
    bool error;
    float progress;
};

class RecordingPublisher final : public update::IUpdatePublisher {
public:
    RecordingPublisher() { update::SetUpdatePublisher(this); }
    ~RecordingPublisher() { update::SetUpdatePublisher(nullptr); }

    void PublishStatus(const char* text, bool error, float progress) override {
        std::lock_guard lock(m_mutex);
        m_publications.push_back({true, text, error, progress});
    }
    void PublishProgress(const vgui2::wchar* text, float progress) override {
        char narrow[1024];
        vgui2::WideToUtf8(text, narrow, sizeof(narrow));
        std::lock_guard lock(m_mutex);
        m_publications.push_back({false, narrow, false, progress});
    }
    void ClearStatusLabel() override { Count(m_clears); }
    void BranchListReady() override { Count(m_branchListReady); }
    void InstalledVersionChanged() override { Count(m_versionChanges); }

    std::vector<Publication> All() const {
        std::lock_guard lock(m_mutex);
        return m_publications;
    }
    std::vector<Publication> Statuses() const { return Filter(true); }
    std::vector<Publication> Progress() const { return Filter(false); }
    int Clears() const { return Read(m_clears); }
    int BranchListReadyCount() const { return Read(m_branchListReady); }
    int VersionChanges() const { return Read(m_versionChanges); }

private:
    std::vector<Publication> Filter(bool status) const {
        std::vector<Publication> result;
        for (const Publication& publication : All()) {
            if (publication.status == status) {
                result.push_back(publication);
            }
        }
        return result;
    }
    void Count(int& counter) {
        std::lock_guard lock(m_mutex);
        ++counter;
    }
    int Read(const int& counter) const {
        std::lock_guard lock(m_mutex);
        return counter;
    }

    mutable std::mutex m_mutex;
    std::vector<Publication> m_publications;
    int m_clears = 0;
    int m_branchListReady = 0;
    int m_versionChanges = 0;
};

}  // namespace enginetest
