// A small static file server on the loopback interface, used by the demo
// and the end-to-end tests as the release server: it serves the manifest
// and the release archives of a folder, optionally slowly, so that a person
// (or a test) can watch a download progress and close the window during it.
//
//   release_server --root DIR [--port N] [--port-file FILE] [--rate BYTES_PER_SECOND]
//                  [--stop-file FILE]
//
// Port 0 (the default) picks a free port; the port is printed on standard
// output and written to the port file. It ends on SIGTERM or SIGINT, or
// once the stop file appears: a command script on Windows has no signal to
// send to a program it started in the background.
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

namespace {

struct Options {
    std::filesystem::path root;
    int port = 0;
    std::string portFile;
    std::size_t rate = 0;
    std::filesystem::path stopFile;
};

httplib::Server* g_server = nullptr;

void StopOnSignal(int) {
    if (g_server) {
        g_server->stop();
    }
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (i + 1 >= argc) {
            return false;
        }
        std::string value = argv[++i];
        if (name == "--root") {
            options.root = value;
        } else if (name == "--port") {
            options.port = std::atoi(value.c_str());
        } else if (name == "--port-file") {
            options.portFile = value;
        } else if (name == "--stop-file") {
            options.stopFile = value;
        } else if (name == "--rate") {
            options.rate = static_cast<std::size_t>(std::strtoull(value.c_str(), nullptr, 10));
        } else {
            return false;
        }
    }
    return !options.root.empty();
}

// Paths in messages as UTF-8 on every system; a Windows path's c_str() is
// wide text.
std::string PathText(const std::filesystem::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

const char* ContentType(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    if (extension == ".json") {
        return "application/json";
    }
    if (extension == ".zip") {
        return "application/zip";
    }
    return "application/octet-stream";
}

// Resolves a request path inside the root; anything that climbs out of it,
// or is not a regular file, is not served.
bool ResolveInsideRoot(const std::filesystem::path& root, const std::string& requestPath,
                       std::filesystem::path& resolved) {
    std::error_code error;
    std::filesystem::path candidate = std::filesystem::weakly_canonical(root / requestPath.substr(1), error);
    if (error) {
        return false;
    }
    auto [rootEnd, candidateIt] = std::mismatch(root.begin(), root.end(), candidate.begin(), candidate.end());
    if (rootEnd != root.end() || !std::filesystem::is_regular_file(candidate, error)) {
        return false;
    }
    resolved = candidate;
    return true;
}

void ServeFile(const Options& options, const httplib::Request& request, httplib::Response& response) {
    std::filesystem::path path;
    if (!ResolveInsideRoot(options.root, request.path, path)) {
        response.status = 404;
        response.set_content("<html><body>404 Not Found</body></html>", "text/html");
        return;
    }
    auto body = std::make_shared<std::string>();
    {
        std::ifstream in(path, std::ios::binary);
        body->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (options.rate == 0) {
        response.set_content(*body, ContentType(path));
        return;
    }
    // Ten slices a second at the requested rate.
    std::size_t slice = std::max<std::size_t>(options.rate / 10, 1);
    response.set_content_provider(body->size(), ContentType(path),
                                  [body, slice](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                      std::this_thread::sleep_for(std::chrono::milliseconds(100));
                                      std::size_t length = std::min(slice, body->size() - offset);
                                      return sink.write(body->data() + offset, length);
                                  });
}

// Stops the server once the stop file exists. Asked again until the server
// has really stopped: a stop before it listens would be lost.
void WatchStopFile(const std::filesystem::path& stopFile, httplib::Server& server,
                   const std::atomic<bool>& listening) {
    std::error_code ignored;
    while (listening) {
        if (server.is_running() && std::filesystem::exists(stopFile, ignored)) {
            server.stop();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s --root DIR [--port N] [--port-file FILE] [--rate BYTES_PER_SECOND]"
                     " [--stop-file FILE]\n",
                     argv[0]);
        return 2;
    }
    std::error_code error;
    options.root = std::filesystem::canonical(options.root, error);
    if (error) {
        std::fprintf(stderr, "release_server: no folder %s\n", PathText(options.root).c_str());
        return 2;
    }

    // One left by an earlier run would end this one at once.
    if (!options.stopFile.empty()) {
        std::filesystem::remove(options.stopFile, error);
    }

    httplib::Server server;
    server.Get(".*", [&options](const httplib::Request& request, httplib::Response& response) {
        ServeFile(options, request, response);
    });
    server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
        std::fprintf(stderr, "release_server: %s %s -> %d\n", request.method.c_str(), request.path.c_str(),
                     response.status);
    });

    int port = options.port;
    if (port == 0) {
        port = server.bind_to_any_port("127.0.0.1");
    } else if (!server.bind_to_port("127.0.0.1", port)) {
        port = -1;
    }
    if (port < 0) {
        std::fprintf(stderr, "release_server: cannot listen on 127.0.0.1:%d\n", options.port);
        return 1;
    }
    if (!options.portFile.empty()) {
        std::ofstream(options.portFile) << port << "\n";
    }
    std::printf("release_server: serving %s on http://127.0.0.1:%d/\n", PathText(options.root).c_str(), port);
    std::fflush(stdout);

    g_server = &server;
    std::signal(SIGTERM, StopOnSignal);
    std::signal(SIGINT, StopOnSignal);
    std::atomic<bool> listening{true};
    std::thread stopWatcher;
    if (!options.stopFile.empty()) {
        stopWatcher = std::thread([&] { WatchStopFile(options.stopFile, server, listening); });
    }
    server.listen_after_bind();
    listening = false;
    if (stopWatcher.joinable()) {
        stopWatcher.join();
    }
    return 0;
}
