// A small static file server on the loopback interface, used by the demo
// and the end-to-end tests as the release server: it serves the manifest
// and the release archives of a folder, optionally slowly, so that a person
// (or a test) can watch a download progress and close the window during it.
//
//   release_server --root DIR [--port N] [--port-file FILE] [--rate BYTES_PER_SECOND]
//
// Port 0 (the default) picks a free port; the port is printed on standard
// output and written to the port file. It ends on SIGTERM or SIGINT.
#include <httplib.h>

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
        } else if (name == "--rate") {
            options.rate = static_cast<std::size_t>(std::strtoull(value.c_str(), nullptr, 10));
        } else {
            return false;
        }
    }
    return !options.root.empty();
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

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s --root DIR [--port N] [--port-file FILE] [--rate BYTES_PER_SECOND]\n", argv[0]);
        return 2;
    }
    std::error_code error;
    options.root = std::filesystem::canonical(options.root, error);
    if (error) {
        std::fprintf(stderr, "release_server: no folder %s\n", options.root.c_str());
        return 2;
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
    std::printf("release_server: serving %s on http://127.0.0.1:%d/\n", options.root.c_str(), port);
    std::fflush(stdout);

    g_server = &server;
    std::signal(SIGTERM, StopOnSignal);
    std::signal(SIGINT, StopOnSignal);
    server.listen_after_bind();
    return 0;
}
