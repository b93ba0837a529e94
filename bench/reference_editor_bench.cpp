// One keystroke in the invoice reference editor, over a business of 1,000 and 10,000 invoices. A key in the
// prefix field proposes the next free counter for the typed prefix, checks the reference and writes the
// message; a key in the counter field only checks and writes. Each walks the invoices a few times, so the
// time should grow in step with the list ("per_invoice" about the same at both sizes) and stay well inside
// one frame of a 60 Hz screen (16 ms) at 10,000 invoices. The typed prefix is that of the oldest invoice
// alone, so that every walk goes to the end of the list; the counter typed is taken, so that the error
// message (with the last reference used) is written too.

#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceNumberFormView.h"
#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceTextFields.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "ZorvikAPI/models/Invoice.h"
#include "ZorvikAPI/models/ReferenceNumberSystems/SequentialReferenceComponentSystem.h"
#include "platform/foundation/Array.h"
#include "platform/ui/Screen.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace zorvik;
using platform::foundation::Array;
using platform::foundation::ArrayRef;

/// `count` invoices, newest first, numbered "INV-" 0001 upward; the oldest alone has the prefix "OLD-".
ArrayRef invoices(int count)
{
    auto list = Array::make();
    for (int index = 0; index < count; ++index) {
        auto invoice = api::Invoice::invoice();
        bool oldest = index == count - 1;
        invoice.setReferencePrefix(
            oldest ? "OLD-" : "INV-", std::to_string(100000 + count - index).substr(1));
        list->append(invoice.record());
    }
    return list;
}

/// A reference panel over `count` invoices, with the prefix "OLD-" and the counter "00001" typed.
std::shared_ptr<InvoiceReferenceNumberFormView> panel(int count)
{
    static platform::ui::ScopedMainScreen screen(platform::ui::Screen::size320x568);
    registerNibs();
    auto system = api::SequentialReferenceComponentSystem::sequentialReferenceComponentSystemWithInvoices(
        invoices(count));
    auto form = InvoiceReferenceNumberFormView::make(api::Reference::referenceWithPrefix("OLD-", "00001"),
        std::weak_ptr<InvoiceReferenceNumberView>(), system);
    return form;
}

void perInvoice(benchmark::State& state)
{
    state.counters["per_invoice"] = benchmark::Counter(double(state.iterations()) * double(state.range(0)),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void prefixKeystroke(benchmark::State& state)
{
    auto form = panel(int(state.range(0)));
    for (auto _ : state) {
        form->updateReferenceCounterForPrefix();
        form->referenceNumberTextField()->setText("00001");
        form->validateReferenceNumber();
        benchmark::DoNotOptimize(form->isValidReference());
    }
    perInvoice(state);
}

void counterKeystroke(benchmark::State& state)
{
    auto form = panel(int(state.range(0)));
    for (auto _ : state) {
        form->validateReferenceNumber();
        benchmark::DoNotOptimize(form->isValidReference());
    }
    perInvoice(state);
}

}

BENCHMARK(prefixKeystroke)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(counterKeystroke)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
