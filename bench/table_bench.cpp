// Cost of scrolling a 10,000-row table from top to bottom, a quarter of a row at a time, as a finger would:
// the cells made must stay bounded by the rows that show (reuse), and the time per row scrolled past is
// reported.

#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableView.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace platform::ui;

constexpr int rowCount = 10000;

/// 10,000 rows named "Row n", each in a reused cell.
class Rows : public TableViewDataSource {
public:
    int numberOfRows(TableView&, int) override { return rowCount; }

    std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& indexPath) override
    {
        auto cell = table.dequeueReusableCell("row", indexPath);
        cell->textLabel()->setText("Row " + std::to_string(indexPath.row));
        return cell;
    }
};

void scrollTenThousandRows(benchmark::State& state)
{
    ScopedMainScreen screen(Screen::size320x568);
    auto rows = std::make_shared<Rows>();
    int made = 0;
    std::size_t mostVisible = 0;
    for (auto _ : state) {
        state.PauseTiming();
        made = 0;
        auto table = std::make_shared<TableView>(Screen::main().bounds());
        table->registerClass("row", [&made](const std::string& identifier) {
            ++made;
            return std::make_shared<TableViewCell>(TableViewCellStyle::Default, identifier);
        });
        table->setDataSource(rows);
        state.ResumeTiming();

        table->layoutIfNeeded();
        double bottom = table->maximumContentOffset().y;
        for (double y = 0; y < bottom; y += TableView::defaultRowHeight / 4) {
            table->setContentOffset({ 0, y });
            mostVisible = std::max(mostVisible, table->visibleCells().size());
        }
        table->setContentOffset({ 0, bottom });
        benchmark::DoNotOptimize(table->cellForRow({ 0, rowCount - 1 }));
    }
    state.counters["rows"] = rowCount;
    state.counters["cells_made"] = made;
    state.counters["most_visible"] = double(mostVisible);
    state.counters["time_per_row"] = benchmark::Counter(
        rowCount, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(scrollTenThousandRows)->Unit(benchmark::kMillisecond);

}
