// The folders screen over a business of 1,000 to 10,000 invoices: handing the list to a folder (filter, rows,
// layout), the home screen's setInvoices (reminders for the invoices that lack one, the badge) and scrolling
// a folder of 10,000 rows a quarter of a row at a time. The first two should grow linearly with the list
// (the complexity fit reports O(N)); a scroll step should stay well under a frame (16 ms) and make cells only
// for the rows that show ("most_cells").

#include "Zorvik/ViewControllers/FoldersViewController/FoldersViewControllerObjc.h"
#include "Zorvik/Views/FolderView/EmptyFolderViewObjc.h"
#include "Zorvik/Views/FolderView/FolderViewObjc.h"
#include "Zorvik/Views/FolderView/InvoiceTableCellDelegate.h"
#include "Zorvik/Views/FolderView/InvoiceTableCellViewProviders.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "ZorvikAPI/filters/TodoFilter.h"
#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;

/// `count` invoices, newest first, as the server sends them: two in three to do, sent over the last 90
/// days, to one of 50 businesses.
ArrayRef invoices(int count)
{
    auto list = Array::make();
    auto now = platform::foundation::now();
    for (int index = 0; index < count; ++index) {
        auto folders = Array::make();
        for (int move = 0; move <= index % 3 / 2; ++move)
            folders->append(Dictionary::make({ { "name", move % 2 ? "done" : "todo" } }));
        auto business = Dictionary::make({ { "name", "Customer " + std::to_string(index % 50) + " Ltd" } });
        list->append(
            Dictionary::make({ { "id", index + 1 }, { "description", "Work " + std::to_string(index) },
                { "net_amount", 1000 }, { "gross_amount", 1200 },
                { "sent", zorvik::api::toServerDateString(now.addingSeconds(-86400.0 * (index % 90))) },
                { "to", Dictionary::make({ { "business", business } }) }, { "folders", folders } }));
    }
    return list;
}

/// A To-Do folder of a 320 x 568 phone, in a window.
struct Phone {
    Phone()
    {
        zorvik::registerNibs();
        window->makeKeyAndVisible();
    }

    std::shared_ptr<zorvik::FolderViewObjc> folder()
    {
        auto made = zorvik::FolderViewObjc::make(zorvik::EmptyFolderSentViewObjc::make(),
            std::make_shared<zorvik::SentInvoiceTableCellViewProviderObjc>(
                std::weak_ptr<zorvik::InvoiceTableCellDelegate>()),
            std::make_shared<zorvik::api::TodoFilter>());
        made->setFrame({ 0, 108, 320, 400 });
        window->addSubview(made);
        return made;
    }

    platform::ui::ScopedMainScreen screen { platform::ui::Screen::size320x568 };
    std::shared_ptr<platform::ui::Window> window { std::make_shared<platform::ui::Window>() };
};

void handOver(benchmark::State& state)
{
    Phone phone;
    auto list = invoices(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = phone.folder();
        state.ResumeTiming();
        folder->setInvoices(list);
        phone.window->layoutIfNeeded();
        state.PauseTiming();
        folder->removeFromSuperview();
        platform::foundation::mainQueue().runUntilIdle();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}

void homeScreenSetInvoices(benchmark::State& state)
{
    auto list = invoices(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        platform::ui::Application::shared().reset();
        auto home = std::make_shared<zorvik::FoldersViewControllerObjc>();
        state.ResumeTiming();
        home->setInvoices(list);
        home->setInvoices(list);
    }
    state.SetComplexityN(state.range(0));
}

void scrollStep(benchmark::State& state)
{
    Phone phone;
    auto folder = phone.folder();
    folder->setInvoices(invoices(10000));
    auto table = folder->invoicesTable();
    phone.window->layoutIfNeeded();
    double step = table->rowHeight() / 4;
    double bottom = table->maximumContentOffset().y;
    double y = 0;
    std::size_t mostCells = 0;
    for (auto _ : state) {
        y = y + step > bottom ? 0 : y + step;
        table->setContentOffset({ 0, y });
        phone.window->layoutIfNeeded();
        mostCells = std::max(mostCells, table->visibleCells().size());
    }
    state.counters["most_cells"] = double(mostCells);
}

BENCHMARK(handOver)
    ->RangeMultiplier(10)
    ->Range(1000, 10000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(homeScreenSetInvoices)
    ->RangeMultiplier(10)
    ->Range(1000, 10000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(scrollStep)->Unit(benchmark::kMicrosecond);

}
