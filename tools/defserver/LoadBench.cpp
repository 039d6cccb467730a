// The definition server under load: N clients at once (200 by default), each asking the date
// and then the definitions since the program's first date M times (50), each request on a new
// connection as the program makes them. Prints failed requests, requests per second and the
// 99th-percentile latency.
//   qm_defserver_load URL [--clients N] [--rounds M]

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: qm_defserver_load URL [--clients N] [--rounds M]\n");
        return 2;
    }
    const std::string url = argv[1];
    int clients = 200, rounds = 50;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--clients") clients = std::max(1, std::atoi(argv[i + 1]));
        if (option == "--rounds") rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    const std::string query = "?prog=Quillmarsh&comp=Quillmarsh%20Software";
    std::atomic<long> failed{0};
    std::mutex mutex;
    std::vector<double> latencies;
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&] {
            std::vector<double> mine;
            for (int r = 0; r < rounds; ++r) {
                for (const std::string& path :
                     {"/asp/currentDateNEW.asp" + query,
                      "/asp/getDefsNEW.asp" + query + "&date=3/16/2006"}) {
                    httplib::Client client(url);
                    client.set_connection_timeout(30);
                    client.set_read_timeout(30);
                    const auto sent = Clock::now();
                    const auto res = client.Get(path.c_str());
                    mine.push_back(std::chrono::duration<double>(Clock::now() - sent).count());
                    if (!res || res->status != 200 || res->body.empty()) {
                        ++failed;
                        std::fprintf(stderr, "failed: %s\n",
                                     res ? std::to_string(res->status).c_str()
                                         : httplib::to_string(res.error()).c_str());
                    }
                }
            }
            const std::lock_guard<std::mutex> lock(mutex);
            latencies.insert(latencies.end(), mine.begin(), mine.end());
        });
    }
    for (auto& t : threads)
        t.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::sort(latencies.begin(), latencies.end());
    const double p99 = latencies[latencies.size() * 99 / 100];
    std::printf("%d clients x %d rounds x 2 requests: %zu requests in %.2f s\n", clients, rounds,
                latencies.size(), seconds);
    std::printf("  failed requests: %ld\n", failed.load());
    std::printf("  requests per second: %.0f\n", static_cast<double>(latencies.size()) / seconds);
    std::printf("  99th-percentile latency: %.1f ms\n", p99 * 1000.0);
    return failed.load() == 0 ? 0 : 1;
}
