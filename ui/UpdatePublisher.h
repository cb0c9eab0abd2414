// The one place where the update engine's reports cross from a worker
// thread to the GUI thread. A report made off the GUI thread is queued and
// applied to the updater window when the GUI thread next drains the queue
// (the window's think step); a report made on the GUI thread first drains
// the queue, then applies, so the window shows reports in the order they
// were made. A worker never waits for the GUI thread: it only holds the
// queue's lock long enough to append. Consecutive progress reports are
// coalesced (only the newest pending one is kept), because a download
// reports after every received block and only the latest fraction matters.
// It does not create the window; the frame source does that, on the GUI
// thread only.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "update/Publishers.h"

class CUpdaterFrame;

class CUpdatePublisher final : public update::IUpdatePublisher {
public:
    using FrameSource = CUpdaterFrame* (*)();

    // GUI thread: the calling thread becomes the one reports are applied on.
    // The engine reports through this publisher from then on.
    void Install(FrameSource frameSource);
    void Uninstall();

    void PublishStatus(const char* text, bool error, float progress) override;
    void PublishProgress(const vgui2::wchar* text, float progress) override;
    void ClearStatusLabel() override;
    void BranchListReady() override;
    void InstalledVersionChanged() override;

    // GUI thread: applies every queued report in order.
    void Drain();
    bool HasPending();

private:
    enum class Kind { Status, Progress, ClearStatusLabel, BranchListReady, InstalledVersionChanged };
    struct Report {
        Kind kind = Kind::Status;
        std::string text;
        std::u16string wideText;
        bool error = false;
        float progress = 0.0f;
    };

    static Report Notification(Kind kind);
    void Publish(Report&& report);
    void Apply(const Report& report);
    bool OnGuiThread() const { return std::this_thread::get_id() == m_guiThread; }

    std::mutex m_lock;
    std::deque<Report> m_pending;
    std::thread::id m_guiThread;
    FrameSource m_frameSource = nullptr;
};

// The process's publisher.
CUpdatePublisher& TheUpdatePublisher();
