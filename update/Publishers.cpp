#include "update/Publishers.h"

#include <atomic>

namespace update {

namespace {

// Read on every downloaded block, so it is one atomic load and no lock.
std::atomic<IUpdatePublisher*> g_publisher{nullptr};

}  // namespace

void SetUpdatePublisher(IUpdatePublisher* publisher) { g_publisher.store(publisher, std::memory_order_release); }

void PublishStatus(const char* text, bool error, float progress) {
    if (IUpdatePublisher* publisher = g_publisher.load(std::memory_order_acquire)) {
        publisher->PublishStatus(text, error, progress);
    }
}

void PublishProgress(const vgui2::wchar* text, float progress) {
    if (IUpdatePublisher* publisher = g_publisher.load(std::memory_order_acquire)) {
        publisher->PublishProgress(text, progress);
    }
}

void NotifyClearStatusLabel() {
    if (IUpdatePublisher* publisher = g_publisher.load(std::memory_order_acquire)) {
        publisher->ClearStatusLabel();
    }
}

void NotifyBranchListReady() {
    if (IUpdatePublisher* publisher = g_publisher.load(std::memory_order_acquire)) {
        publisher->BranchListReady();
    }
}

void NotifyInstalledVersionChanged() {
    if (IUpdatePublisher* publisher = g_publisher.load(std::memory_order_acquire)) {
        publisher->InstalledVersionChanged();
    }
}

}  // namespace update
