#include "CommandLine.h"
#include "GuardedServer.h"
#include "QuoteService.h"
#include "engine/marketdata/sources/NasdaqSource.h"
#include "engine/marketdata/sources/ReplaySource.h"

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <pthread.h>
#include <thread>

using namespace tradevane::market;

int main(int argc, char** argv)
{
    const auto parsed = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "tradevane-quoted: " << *error << "\nTry tradevane-quoted --help\n";
        return 2;
    }
    const CommandLine& line = std::get<CommandLine>(parsed);
    if (line.help) {
        std::cout << helpText();
        return 0;
    }

    std::unique_ptr<Source> source;
    std::string description;
    if (line.source == "replay") {
        if (!std::filesystem::is_directory(line.folder)) {
            std::cerr << "tradevane-quoted: " << line.folder << " is not a folder\n";
            return 2;
        }
        source = std::make_unique<ReplaySource>(line.folder, line.seed, line.session);
        description = "replay of the CSV files in " + std::filesystem::absolute(line.folder).string();
    } else if (line.source == "nasdaq") {
        NasdaqOptions options;
        options.upstream = line.upstream;
        source = std::make_unique<NasdaqSource>(options);
        description = "live prices from " + line.upstream;
    } else {
        source = std::make_unique<SimulatedMarket>(line.seed, line.session);
        description = "simulated market (seed " + std::to_string(line.seed) + "), not real prices";
    }

    // Ctrl+C and kill end the service cleanly: a thread waits for them before the server's
    // threads exist, so they all inherit the blocked signals.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    // Every connection is an open file: take what the system allows beyond the usual soft limit
    // of 1024, so that the connection limits, not the file limit, decide who is turned away.
    rlimit files {};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }

    GuardedServer server;
    server.set_keep_alive_max_count(1000);
    QuoteService service(*source, systemServiceClock(), stdoutLog(), {line.maxRows, description});
    service.install(server);

    int port = line.port;
    if (port == 0) {
        port = server.bind_to_any_port(line.host);
    } else if (!server.bind_to_port(line.host, port)) {
        port = -1;
    }
    if (port <= 0) {
        std::cerr << "tradevane-quoted: cannot listen on " << line.host << ":" << line.port
                  << " (is another service using that port?)\n";
        return 1;
    }
    std::cout << "tradevane-quoted: " << description << ", listening on http://" << line.host << ":" << port
              << std::endl;

    std::thread([&server, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        // A signal that comes before the server runs must still stop it.
        while (!server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        server.stop();
    }).detach();
    server.listen_after_bind();
    std::cout << "tradevane-quoted: stopped" << std::endl;
    return 0;
}
