// Cost of reading and writing the app's JSON through the object model,
// against plain nlohmann-json on the same text: 1,000 invoices parsed and
// written back. The model should cost at most twice as much.

#include "platform/foundation/Json.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <string>

namespace {

using platform::foundation::parseJson;
using platform::foundation::toJson;

nlohmann::json business(int number)
{
    std::string n = std::to_string(number);
    return {
        { "id", "b7c1e2f4-" + n },
        { "name", "Acme Widgets Ltd " + n },
        { "email", "accounts" + n + "@acme.example" },
        { "phone", "+44 113 496 0" + n },
        { "company_number", "0912" + n },
        { "vat_number", "GB123456" + n },
        { "address",
            { { "line1", n + " Park Row" }, { "line2", "Caf\u00e9 Quarter" }, { "city", "Leeds" },
                { "postcode", "LS1 5HN" }, { "country", "United Kingdom" } } },
        { "bank_account", { { "sort_code", "40-47-84" }, { "account_number", "7027" + n } } },
        { "vat_registered", number % 2 == 0 },
    };
}

nlohmann::json lineItem(int invoice, int item)
{
    return {
        { "description", "Consulting, phase " + std::to_string(item) + " \u2014 \"discovery\"" },
        { "quantity", item + 1 },
        { "unit_price", 740 + invoice % 50 },
        { "tax", 20.0 },
        { "net_amount", 1480 },
        { "gross_amount", 1776.5 },
    };
}

std::string invoicesText()
{
    nlohmann::json invoices = nlohmann::json::array();
    for (int index = 0; index < 1000; ++index) {
        char counter[8];
        std::snprintf(counter, sizeof counter, "%03d", index % 1000);
        nlohmann::json items = nlohmann::json::array();
        for (int item = 0; item < 3; ++item)
            items.push_back(lineItem(index, item));
        invoices.push_back({
            { "id", "5f0c7a9e-1d2b-4c3a-9e8f-" + std::to_string(100000000000 + index) },
            { "description", "Website redesign and hosting for March, invoice " + std::to_string(index) },
            { "reference", std::string("INV-") + counter },
            { "reference_components", { { "prefix", "INV-" }, { "counter", counter } } },
            { "net_amount", 1480 },
            { "gross_amount", 1776 },
            { "payment_term", 30 },
            { "from", business(index) },
            { "to", business(index + 1) },
            { "line-items", items },
            { "folders", { { { "name", "todo" }, { "date", "2026-03-01T10:00:00.000+0000" } } } },
            { "sent", "2026-03-02T09:30:00.000+0000" },
            { "paid", index % 3 == 0 },
        });
    }
    return invoices.dump();
}

const std::string& text()
{
    static const std::string invoices = invoicesText();
    return invoices;
}

void nlohmannRoundTrip(const std::string& json)
{
    auto tree = nlohmann::json::parse(json);
    auto written = tree.dump();
    benchmark::DoNotOptimize(written);
}

void modelRoundTrip(const std::string& json)
{
    auto result = parseJson(json);
    auto written = toJson(result.value);
    benchmark::DoNotOptimize(written);
}

void BM_NlohmannParse(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(nlohmann::json::parse(text()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text().size()));
}

void BM_ModelParse(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(parseJson(text()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text().size()));
}

void BM_NlohmannSerialise(benchmark::State& state)
{
    auto tree = nlohmann::json::parse(text());
    for (auto _ : state)
        benchmark::DoNotOptimize(tree.dump());
}

void BM_ModelSerialise(benchmark::State& state)
{
    auto value = parseJson(text()).value;
    for (auto _ : state)
        benchmark::DoNotOptimize(toJson(value));
}

void BM_NlohmannRoundTrip(benchmark::State& state)
{
    for (auto _ : state)
        nlohmannRoundTrip(text());
}

void BM_ModelRoundTrip(benchmark::State& state)
{
    for (auto _ : state)
        modelRoundTrip(text());
}

// Both round trips in turn, so that the ratio comes from one run under the
// same conditions. The goal: model_over_nlohmann <= 2.
void BM_ModelOverNlohmann(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    if (toJson(parseJson(text()).value) != nlohmann::json::parse(text()).dump()) {
        state.SkipWithError("the model does not write back what nlohmann-json writes");
        return;
    }
    Clock::duration nlohmannTime {};
    Clock::duration modelTime {};
    for (auto _ : state) {
        auto start = Clock::now();
        nlohmannRoundTrip(text());
        auto middle = Clock::now();
        modelRoundTrip(text());
        modelTime += Clock::now() - middle;
        nlohmannTime += middle - start;
    }
    state.counters["model_over_nlohmann"]
        = std::chrono::duration<double>(modelTime) / std::chrono::duration<double>(nlohmannTime);
}

}

BENCHMARK(BM_NlohmannParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NlohmannSerialise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelSerialise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NlohmannRoundTrip)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelRoundTrip)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelOverNlohmann)->Unit(benchmark::kMillisecond);
