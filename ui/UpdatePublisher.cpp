#include "ui/UpdatePublisher.h"

#include <utility>

#include "ui/UpdaterFrame.h"

CUpdatePublisher::Report CUpdatePublisher::Notification(Kind kind) {
    Report report;
    report.kind = kind;
    return report;
}

void CUpdatePublisher::Install(FrameSource frameSource) {
    m_guiThread = std::this_thread::get_id();
    m_frameSource = frameSource;
    update::SetUpdatePublisher(this);
}

void CUpdatePublisher::Uninstall() {
    update::SetUpdatePublisher(nullptr);
    std::lock_guard<std::mutex> lock(m_lock);
    m_pending.clear();
}

void CUpdatePublisher::PublishStatus(const char* text, bool error, float progress) {
    Publish(Report{Kind::Status, text ? text : "", {}, error, progress});
}

void CUpdatePublisher::PublishProgress(const vgui2::wchar* text, float progress) {
    Publish(Report{Kind::Progress, {}, text ? std::u16string(text) : std::u16string(), false, progress});
}

void CUpdatePublisher::ClearStatusLabel() { Publish(Notification(Kind::ClearStatusLabel)); }

void CUpdatePublisher::BranchListReady() { Publish(Notification(Kind::BranchListReady)); }

void CUpdatePublisher::InstalledVersionChanged() { Publish(Notification(Kind::InstalledVersionChanged)); }

void CUpdatePublisher::Publish(Report&& report) {
    if (OnGuiThread()) {
        Drain();
        Apply(report);
        return;
    }
    std::lock_guard<std::mutex> lock(m_lock);
    // Replacing the last pending progress keeps the order: nothing was
    // reported between the two, so the older one would be overwritten on
    // screen within the same frame anyway.
    if (report.kind == Kind::Progress && !m_pending.empty() && m_pending.back().kind == Kind::Progress) {
        m_pending.back() = std::move(report);
        return;
    }
    m_pending.push_back(std::move(report));
}

void CUpdatePublisher::Drain() {
    std::deque<Report> batch;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        batch.swap(m_pending);
    }
    for (const Report& report : batch) {
        Apply(report);
    }
}

bool CUpdatePublisher::HasPending() {
    std::lock_guard<std::mutex> lock(m_lock);
    return !m_pending.empty();
}

void CUpdatePublisher::Apply(const Report& report) {
    CUpdaterFrame* frame = m_frameSource ? m_frameSource() : nullptr;
    if (!frame) {
        return;
    }
    switch (report.kind) {
    case Kind::Status:
        frame->ApplyStatus(report.text.c_str(), report.error, report.progress);
        break;
    case Kind::Progress:
        frame->ApplyProgress(report.wideText.c_str(), report.progress);
        break;
    case Kind::ClearStatusLabel:
        frame->SetStatusText("");
        break;
    case Kind::BranchListReady:
        frame->FillBranchList();
        break;
    case Kind::InstalledVersionChanged:
        frame->RefreshCurrentVersionLabel();
        break;
    }
}

CUpdatePublisher& TheUpdatePublisher() {
    // Never destroyed: a job still running while the process exits may
    // report into it after every static object is gone.
    static CUpdatePublisher* publisher = new CUpdatePublisher;
    return *publisher;
}
