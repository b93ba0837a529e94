// Layout passes over screens of 100 and 1,000 views placed by four constraints each. The "per_view"
// counter is the time of one pass divided by the number of views; it stays flat as the screen grows
// when the solver is linear.

#include "platform/ui/Constraint.h"
#include "platform/ui/LayoutAnchor.h"
#include "platform/ui/View.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace platform::ui;

namespace {

// A flat screen: every view is a subview of the root, hangs under the view before it and sits at a
// column of its own; width and height are fixed on the view itself.
std::shared_ptr<View> flatScreen(int count)
{
    auto root = std::make_shared<View>(Rect { 0, 0, 320, 568 });
    std::shared_ptr<View> previous;
    for (int i = 0; i < count; ++i) {
        auto view = std::make_shared<View>();
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        root->addSubview(view);
        root->addConstraint(leadingAnchor(view).constraintEqualTo(leadingAnchor(root), (i % 10) * 30));
        root->addConstraint(previous ? topAnchor(view).constraintEqualTo(bottomAnchor(previous), 1)
                                     : topAnchor(view).constraintEqualTo(topAnchor(root)));
        view->addConstraint(widthAnchor(view).constraintEqualToConstant(30));
        view->addConstraint(heightAnchor(view).constraintEqualToConstant(20));
        previous = view;
    }
    return root;
}

// A nested screen: groups of ten rows, each group a container pinned into the root, each row pinned into
// its group and sized from it (its width shared with the group, its height fixed).
std::shared_ptr<View> nestedScreen(int count)
{
    auto root = std::make_shared<View>(Rect { 0, 0, 320, 568 });
    std::shared_ptr<View> previousGroup;
    for (int g = 0; g < count / 10; ++g) {
        auto group = std::make_shared<View>();
        group->setTranslatesAutoresizingMaskIntoConstraints(false);
        root->addSubview(group);
        root->addConstraint(leadingAnchor(group).constraintEqualTo(leadingAnchor(root)));
        root->addConstraint(trailingAnchor(group).constraintEqualTo(trailingAnchor(root)));
        root->addConstraint(previousGroup ? topAnchor(group).constraintEqualTo(bottomAnchor(previousGroup))
                                          : topAnchor(group).constraintEqualTo(topAnchor(root)));
        std::shared_ptr<View> previous;
        for (int i = 0; i < 9; ++i) {
            auto row = std::make_shared<View>();
            row->setTranslatesAutoresizingMaskIntoConstraints(false);
            group->addSubview(row);
            group->addConstraint(centerXAnchor(row).constraintEqualTo(centerXAnchor(group)));
            group->addConstraint(previous ? topAnchor(row).constraintEqualTo(bottomAnchor(previous), 2)
                                          : topAnchor(row).constraintEqualTo(topAnchor(group), 2));
            group->addConstraint(widthAnchor(row).constraintEqualTo(widthAnchor(group), 1, -16));
            row->addConstraint(heightAnchor(row).constraintEqualToConstant(44));
            previous = row;
        }
        group->addConstraint(bottomAnchor(group).constraintEqualTo(bottomAnchor(previous), 2));
        previousGroup = group;
    }
    return root;
}

template<std::shared_ptr<View> (*Build)(int)> void layoutPass(benchmark::State& state)
{
    int count = int(state.range(0));
    auto root = Build(count);
    for (auto _ : state) {
        root->layoutIfNeeded();
        benchmark::DoNotOptimize(root->subviews().back()->frame());
    }
    state.SetComplexityN(count);
    state.counters["per_view"] = benchmark::Counter(
        double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}

BENCHMARK(layoutPass<flatScreen>)->Name("LayoutPass/flat")->Arg(100)->Arg(1000)->Complexity(benchmark::oN);
BENCHMARK(layoutPass<nestedScreen>)
    ->Name("LayoutPass/nested")
    ->Arg(100)
    ->Arg(1000)
    ->Complexity(benchmark::oN);
