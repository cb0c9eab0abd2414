// An HTTP server on the loopback interface, run in-process on its own
// thread, for transfer tests. Handlers that hold a response open wait on
// Held() and are freed when the server goes away, so no test can hang on it.
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace enginetest {

class TestHttpServer {
public:
    TestHttpServer() {
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        // Stopping a server that has not begun listening is lost, and the
        // thread would then never end.
        while (!m_server.is_running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~TestHttpServer() {
        {
            std::lock_guard lock(m_mutex);
            m_released = true;
        }
        m_wake.notify_all();
        m_server.stop();
        m_thread.join();
    }
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    httplib::Server& Routes() { return m_server; }
    int Port() const { return m_port; }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }

    // Blocks a handler until the server is destroyed or the time has passed.
    void Hold(std::chrono::seconds limit) {
        std::unique_lock lock(m_mutex);
        m_wake.wait_for(lock, limit, [this] { return m_released; });
    }

    // Serves a body in blocks of the given size, as a real download would
    // arrive.
    static void ServeInBlocks(httplib::Response& response, std::string body, std::size_t block) {
        auto shared = std::make_shared<std::string>(std::move(body));
        response.set_content_provider(shared->size(), "application/octet-stream",
                                      [shared, block](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                          std::size_t length = std::min(block, shared->size() - offset);
                                          sink.write(shared->data() + offset, length);
                                          return true;
                                      });
    }

    // Sends the first bytes of a large body, then nothing until the server
    // goes away: a connection that stays open and stalls.
    void AddStallingRoute(const std::string& path, const std::string& firstBytes) {
        m_server.Get(path, [this, firstBytes](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(1 << 20, "application/zip",
                                          [this, firstBytes](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                              if (offset > 0) {
                                                  Hold(std::chrono::seconds(30));
                                                  return false;
                                              }
                                              sink.write(firstBytes.data(), firstBytes.size());
                                              return true;
                                          });
        });
    }

private:
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_released = false;
};

// A loopback port on which nothing listens: one a server of the system's
// choice listened on and released again.
inline int ClosedPort() {
    return TestHttpServer().Port();
}

}  // namespace enginetest
