// Cost of the HTTP session layer over plain libcurl: 1,000 sequential small
// JSON requests (a PUT of a small object, echoed back and parsed) to the
// loopback server, through the session manager and through one reused curl
// easy handle. Both sides write and read the JSON through the object model,
// so the difference is the layer: its tasks, its redirect and size checks,
// and its completions posted to the main queue, which drives libcurl from its
// own wait. (PUT, since the layer sends every POST on a new connection of its
// own.) The goal: layer_over_curl <= 1.2. On a machine whose cores are all
// busy the wall-clock ratios scatter with the scheduler's wake-up delays (of
// the server's threads, for both sides); layer_cpu_over_curl_cpu (CPU time of
// the whole process, server included) shows the work the layer adds
// independently of that.

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/MainQueue.h"
#include "platform/http/SessionManager.h"
#include "testing/server/LoopbackServer.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <string>

namespace {

using platform::foundation::Dictionary;
using platform::foundation::mainQueue;
using platform::foundation::parseJson;
using platform::foundation::toJson;
using platform::foundation::Value;
using platform::http::HttpError;
using platform::http::SessionManager;
using platform::http::Task;

constexpr int kRequests = 1000;

testing::LoopbackServer& server()
{
    static testing::LoopbackServer instance;
    static bool routed = [] {
        instance.route("PUT", "/api/echo", [](const testing::ServerRequest& request) {
            return testing::ServerResponse::text(200, request.body, "application/json");
        });
        return true;
    }();
    benchmark::DoNotOptimize(routed);
    return instance;
}

Value smallObject(int index)
{
    return Dictionary::make({ { "id", index }, { "name", "Acme Widgets Ltd" }, { "net_amount", 1480 } });
}

size_t collect(char* data, size_t size, size_t count, void* user)
{
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

// Plain libcurl: one easy handle, its connection kept open between requests.
class PlainCurl {
public:
    PlainCurl()
        : m_url(server().url("/api/echo"))
    {
        m_headers = curl_slist_append(m_headers, "Accept: application/json");
        m_headers = curl_slist_append(m_headers, "Content-Type: application/json");
        m_headers = curl_slist_append(m_headers, "Expect:");
        curl_easy_setopt(m_easy, CURLOPT_URL, m_url.c_str());
        curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, m_headers);
        curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, collect);
        curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, &m_body);
        curl_easy_setopt(m_easy, CURLOPT_NOSIGNAL, 1L);
    }
    ~PlainCurl()
    {
        curl_slist_free_all(m_headers);
        curl_easy_cleanup(m_easy);
    }

    bool send(int index)
    {
        std::string body = toJson(smallObject(index));
        m_body.clear();
        curl_easy_setopt(m_easy, CURLOPT_CUSTOMREQUEST, "PUT");
        curl_easy_setopt(m_easy, CURLOPT_POSTFIELDS, body.c_str());
        curl_easy_setopt(m_easy, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
        long status = 0;
        bool sent = curl_easy_perform(m_easy) == CURLE_OK
            && curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && status == 200;
        return sent && parseJson(m_body).ok();
    }

private:
    std::string m_url;
    std::string m_body;
    CURL* m_easy { curl_easy_init() };
    curl_slist* m_headers { nullptr };
};

// The session layer, one request at a time, each awaited on the main queue.
class Layer {
public:
    bool send(int index)
    {
        bool done = false;
        bool succeeded = false;
        m_manager->put(
            m_url, smallObject(index),
            [&](const Task&, const Value& value) {
                done = true;
                succeeded = !value.isNull();
            },
            [&](const Task&, const HttpError&) { done = true; });
        return mainQueue().runUntil([&] { return done; }) && succeeded;
    }

private:
    std::string m_url { server().url("/api/echo") };
    std::shared_ptr<SessionManager> m_manager { std::make_shared<SessionManager>() };
};

double processCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

template<class Client> bool sendAll(Client& client)
{
    for (int index = 0; index < kRequests; ++index) {
        if (!client.send(index))
            return false;
    }
    return true;
}

void BM_PlainCurl(benchmark::State& state)
{
    PlainCurl client;
    for (auto _ : state) {
        if (!sendAll(client))
            state.SkipWithError("a plain request failed");
    }
    state.SetItemsProcessed(state.iterations() * kRequests);
}

void BM_SessionManager(benchmark::State& state)
{
    Layer client;
    for (auto _ : state) {
        if (!sendAll(client))
            state.SkipWithError("a request through the layer failed");
    }
    state.SetItemsProcessed(state.iterations() * kRequests);
}

// Both runs in turn, so that the ratio comes from one run under the same
// conditions.
void BM_LayerOverCurl(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    PlainCurl plain;
    Layer layer;
    Clock::duration plainTime {};
    Clock::duration layerTime {};
    double plainCpu = 0;
    double layerCpu = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        double startCpu = processCpuSeconds();
        bool plainSent = sendAll(plain);
        auto middle = Clock::now();
        double middleCpu = processCpuSeconds();
        bool layerSent = sendAll(layer);
        layerTime += Clock::now() - middle;
        layerCpu += processCpuSeconds() - middleCpu;
        plainTime += middle - start;
        plainCpu += middleCpu - startCpu;
        if (!plainSent || !layerSent)
            state.SkipWithError("a request failed");
    }
    auto requests = static_cast<double>(state.iterations() * kRequests);
    state.counters["layer_over_curl"]
        = std::chrono::duration<double>(layerTime) / std::chrono::duration<double>(plainTime);
    state.counters["layer_cpu_over_curl_cpu"] = layerCpu / plainCpu;
    state.counters["curl_us_per_request"]
        = std::chrono::duration<double, std::micro>(plainTime).count() / requests;
    state.counters["layer_us_per_request"]
        = std::chrono::duration<double, std::micro>(layerTime).count() / requests;
}

}

BENCHMARK(BM_PlainCurl)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_SessionManager)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_LayerOverCurl)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
