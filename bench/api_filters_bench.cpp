// Cost per invoice of the folder filters (To-Do, Done, Late), of reference numbering and of finding the
// last e-mail address used for a business, over 1,000 and 10,000 invoices. Each walks the list once, so the
// time per invoice ("per_invoice") should stay about the same at both sizes, apart from what the memory
// costs: 10,000 invoices with their parties and histories no longer fit in the processor's cache, and each
// record read then waits for memory. nextReference reads the newest invoice only, so its time per invoice
// falls as the list grows. The list is read from the server's JSON answer, as the app gets it, so that the
// records lie in memory as the app's do.

#include "ZorvikAPI/filters/DoneFilter.h"
#include "ZorvikAPI/filters/LateFilter.h"
#include "ZorvikAPI/filters/TodoFilter.h"
#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Invoice.h"
#include "ZorvikAPI/models/Invoices.h"
#include "ZorvikAPI/models/ReferenceNumberSystems/SequentialReferenceComponentSystem.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace zorvik::api;
using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;

/// `count` invoices, newest first, read from the answer the server gives: folder histories of one to three
/// dated moves, sent dates spread over the last 90 days, references "INV-" with a counter, and recipients
/// among 50 businesses. The oldest invoice alone has the prefix "OLD-" and goes to "Last Customer Ltd", so
/// that finding either walks the whole list.
ArrayRef invoices(int count)
{
    auto list = Array::make();
    auto now = platform::foundation::now();
    for (int index = 0; index < count; ++index) {
        bool oldest = index == count - 1;
        std::string customer
            = oldest ? "Last Customer Ltd" : "Customer " + std::to_string(index % 50) + " Ltd";
        Invoice invoice = Invoice::invoiceWithDescription("Work " + std::to_string(index), std::nullopt, 1000,
            1200, 30, std::nullopt,
            Contact::withEmail(
                "accounts@" + std::to_string(index % 50) + ".example", Business::withName(customer)));
        invoice.setReferencePrefix(
            oldest ? "OLD-" : "INV-", std::to_string(100000 + count - index).substr(1));
        auto sent = toServerDateString(now.addingSeconds(-86400.0 * (index % 90)));
        auto folders = Array::make();
        for (int move = 0; move <= index % 3; ++move)
            folders->append(Dictionary::make({ { "name", move % 2 ? "done" : "todo" }, { "date", sent } }));
        invoice.record()->set("id", count - index);
        invoice.record()->set("folders", folders);
        invoice.record()->set("sent", sent);
        invoice.record()->set("is_deleted", false);
        list->append(invoice.record());
    }
    return platform::foundation::parseJson(platform::foundation::toJson(list)).value.array();
}

void perInvoice(benchmark::State& state)
{
    state.counters["per_invoice"] = benchmark::Counter(static_cast<double>(state.range(0)),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template<class Filter> void filter(benchmark::State& state)
{
    auto list = invoices(static_cast<int>(state.range(0)));
    Filter filter;
    for (auto _ : state)
        benchmark::DoNotOptimize(filter.filterInvoices(list));
    perInvoice(state);
}

void todoFilter(benchmark::State& state)
{
    filter<TodoFilter>(state);
}
void doneFilter(benchmark::State& state)
{
    filter<DoneFilter>(state);
}
void lateFilter(benchmark::State& state)
{
    filter<LateFilter>(state);
}

// The To-Do filter over a list that repeats the same 1,000 records: the work per invoice is that of
// todoFilter, the memory read that of 1,000 invoices. Equal times per invoice at both sizes here show that
// what grows in todoFilter/10000 is the cost of reading memory, not the work per invoice.
void todoFilterOverRepeatedRecords(benchmark::State& state)
{
    auto records = invoices(1000);
    auto list = Array::make();
    for (int index = 0; index < state.range(0); ++index)
        list->append(records->at(static_cast<std::size_t>(index % 1000)));
    TodoFilter filter;
    for (auto _ : state)
        benchmark::DoNotOptimize(filter.filterInvoices(list));
    perInvoice(state);
}

void nextReference(benchmark::State& state)
{
    auto system = SequentialReferenceComponentSystem::sequentialReferenceComponentSystemWithInvoices(
        invoices(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(system.nextReference());
    perInvoice(state);
}

void nextReferenceForPrefix(benchmark::State& state)
{
    auto system = SequentialReferenceComponentSystem::sequentialReferenceComponentSystemWithInvoices(
        invoices(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(system.nextReferenceForPrefix("OLD-"));
    perInvoice(state);
}

void lastEmailAddressForBusiness(benchmark::State& state)
{
    Invoices list(invoices(static_cast<int>(state.range(0))));
    Business customer = Business::withName("Last Customer Ltd");
    for (auto _ : state)
        benchmark::DoNotOptimize(list.lastEmailAddressForBusiness(customer));
    perInvoice(state);
}

}

BENCHMARK(todoFilter)->Arg(1000)->Arg(10000);
BENCHMARK(doneFilter)->Arg(1000)->Arg(10000);
BENCHMARK(lateFilter)->Arg(1000)->Arg(10000);
BENCHMARK(todoFilterOverRepeatedRecords)->Arg(1000)->Arg(10000);
BENCHMARK(nextReference)->Arg(1000)->Arg(10000);
BENCHMARK(nextReferenceForPrefix)->Arg(1000)->Arg(10000);
BENCHMARK(lastEmailAddressForBusiness)->Arg(1000)->Arg(10000);
