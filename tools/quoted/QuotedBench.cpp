// Quote requests per second against a running tradevane-quoted on loopback: several clients, each
// on one kept-alive connection, ask for quotes of rotating symbols for a fixed time.
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: tradevane-quoted-bench PORT SECONDS [CLIENTS]\n");
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const double seconds = std::atof(argv[2]);
    const int clients = argc > 3 ? std::atoi(argv[3]) : 4;
    const char* symbols[] = {"abc", "msft", "ibm", "xom", "ge", "intc", "csco", "ko", "pfe", "t"};

    std::atomic<long> good {0}, bad {0};
    std::atomic<bool> running {true};
    std::vector<std::thread> threads;
    const auto start = std::chrono::steady_clock::now();
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            httplib::Client client("127.0.0.1", port);
            client.set_keep_alive(true);
            for (long i = c; running; ++i) {
                const std::string path
                    = std::string("/download/quotes.csv?format=sl&ext=.csv&symbols=") + symbols[i % 10];
                const auto result = client.Get(path.c_str());
                // A usable answer is one line of nine fields.
                if (result && result->status == 200
                    && std::count(result->body.begin(), result->body.end(), ',') == 8)
                    ++good;
                else
                    ++bad;
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    running = false;
    for (auto& t : threads)
        t.join();
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d clients, %.1f s: %ld quotes, %ld failed, %.0f quote requests per second\n", clients,
        elapsed, good.load(), bad.load(), good.load() / elapsed);
    return bad.load() == 0 ? 0 : 1;
}
