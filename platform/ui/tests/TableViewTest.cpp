#include "platform/ui/TableView.h"

#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/tests/ControllerFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace platform::ui::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

/// Rows named by texts, one list per section; cells come from the "row" registration.
class TextRows : public TableViewDataSource, public TableViewDelegate {
public:
    int numberOfSections(TableView&) override { return int(sections.size()); }
    int numberOfRows(TableView&, int section) override { return int(sections[std::size_t(section)].size()); }

    std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& indexPath) override
    {
        auto cell = table.dequeueReusableCell("row", indexPath);
        cell->textLabel()->setNumberOfLines(0);
        cell->textLabel()->setText(sections[std::size_t(indexPath.section)][std::size_t(indexPath.row)]);
        return cell;
    }

    std::optional<double> heightForRow(TableView&, const IndexPath&) override { return height; }
    void didSelectRow(TableView&, const IndexPath& indexPath) override
    {
        selected.push_back(toString(indexPath));
    }
    void didDeselectRow(TableView&, const IndexPath& indexPath) override
    {
        selected.push_back("-" + toString(indexPath));
    }

    std::vector<std::vector<std::string>> sections;
    std::optional<double> height;
    std::vector<std::string> selected;
};

class TableViewTest : public ControllerFixture {
protected:
    void SetUp() override
    {
        ControllerFixture::SetUp();
        table->setDataSource(rows);
        table->setDelegate(rows);
        table->registerClass("row", [this](const std::string& identifier) {
            ++made;
            return std::make_shared<TableViewCell>(TableViewCellStyle::Default, identifier);
        });
        window->addSubview(table);
    }

    void fill(std::size_t count)
    {
        rows->sections = { {} };
        for (std::size_t i = 0; i < count; ++i)
            rows->sections[0].push_back("Row " + std::to_string(i));
    }

    std::vector<std::string> visibleTexts()
    {
        std::vector<std::string> texts;
        for (auto& cell : table->visibleCells())
            texts.push_back(cell->textLabel()->text().value_or(""));
        return texts;
    }

    std::shared_ptr<TextRows> rows { std::make_shared<TextRows>() };
    std::shared_ptr<TableView> table { std::make_shared<TableView>(Rect(0, 0, 320, 480)) };
    int made { 0 };
};

TEST_F(TableViewTest, TenThousandRowsMakeOnlyTheCellsThatShow)
{
    fill(10000);
    table->layoutIfNeeded();
    EXPECT_EQ(table->numberOfRows(0), 10000);
    EXPECT_EQ(table->contentSize().height, 10000 * TableView::defaultRowHeight);
    EXPECT_EQ(table->visibleCells().size(), 11U) << "480 points show rows 0 to 10";
    EXPECT_EQ(made, 11);

    for (double y = 0; y <= table->maximumContentOffset().y; y += 37)
        table->setContentOffset({ 0, y });
    table->setContentOffset(table->maximumContentOffset());
    EXPECT_LE(made, 13) << "cells leaving the screen are reused";
    EXPECT_EQ(table->visibleCells().size() + table->reusableCellCount(), std::size_t(made));
    auto last = table->cellForRow({ 0, 9999 });
    ASSERT_TRUE(last);
    EXPECT_EQ(last->textLabel()->text(), "Row 9999");
    EXPECT_EQ(last->frame().maxY(), table->contentSize().height);
    EXPECT_EQ(table->cellForRow({ 0, 0 }), nullptr);
}

TEST_F(TableViewTest, ConstraintsInsideARowFollowItsHeightInOneLayout)
{
    // As in a swipeable row: a view pinned to the edges of the cell's content view, which the cell sizes to
    // the row only as the table lays its rows out, after the constraints were solved once.
    std::vector<std::shared_ptr<View>> pinned;
    table->registerClass("row", [&](const std::string& identifier) {
        auto cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, identifier);
        auto view = std::make_shared<View>();
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        cell->contentView()->addSubview(view);
        VisualFormat::Views views { { "view", view } };
        cell->contentView()->addConstraints(VisualFormat::constraints("H:|[view]|", views));
        cell->contentView()->addConstraints(VisualFormat::constraints("V:|[view]|", views));
        pinned.push_back(view);
        return cell;
    });
    rows->height = 80;
    fill(3);
    window->layoutIfNeeded();
    ASSERT_EQ(pinned.size(), 3u);
    for (auto& view : pinned)
        EXPECT_EQ(view->frame(), Rect(0, 0, 320, 80));
}

TEST_F(TableViewTest, BatchUpdatesThatAgreeMoveCellsAndSelection)
{
    fill(5);
    table->layoutIfNeeded();
    auto row3 = table->cellForRow({ 0, 3 });
    table->selectRow({ 0, 3 }, false, TableViewScrollPosition::None);

    rows->sections[0].erase(rows->sections[0].begin() + 1);
    rows->sections[0].insert(rows->sections[0].begin(), { "New A", "New B" });
    table->beginUpdates();
    table->deleteRows({ { 0, 1 } }, TableViewRowAnimation::Fade);
    table->insertRows({ { 0, 0 }, { 0, 1 } }, TableViewRowAnimation::Top);
    table->endUpdates();

    EXPECT_EQ(table->numberOfRows(0), 6);
    EXPECT_THAT(visibleTexts(), ElementsAre("New A", "New B", "Row 0", "Row 2", "Row 3", "Row 4"));
    EXPECT_EQ(table->cellForRow({ 0, 4 }), row3) << "a surviving row keeps its cell";
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath({ 0, 4 }));
    advance(TableView::updateAnimationDuration);
    EXPECT_EQ(row3->frame().y(), 4 * TableView::defaultRowHeight);
}

TEST_F(TableViewTest, BatchUpdatesThatDisagreeThrowAndChangeNothing)
{
    struct Case {
        std::function<void()> update;
        std::string message;
    };
    std::vector<Case> cases = {
        { [&] {
             table->insertRows({ { 0, 0 } }, TableViewRowAnimation::Automatic);
         },
            "Invalid update: invalid number of rows in section 0. The number of rows contained in an "
            "existing "
            "section after the update (3) must be equal to the number of rows contained in that section "
            "before "
            "the update (3), plus or minus the number of rows inserted or deleted from that section (1 "
            "inserted, "
            "0 deleted)" },
        { [&] {
             table->deleteRows({ { 0, 9 } }, TableViewRowAnimation::Fade);
         },
            "attempt to delete row 9 from section 0 which only contains 3 rows before the update" },
        { [&] {
             rows->sections[0].push_back("Row 3");
             table->insertRows({ { 0, 7 } }, TableViewRowAnimation::None);
         },
            "attempt to insert row 7 into section 0, but there are only 4 rows in section 0 after the "
            "update" },
        { [&] {
             rows->sections.push_back({});
             table->reloadRows({ { 0, 0 } }, TableViewRowAnimation::None);
         },
            "Invalid update: invalid number of sections" },
    };
    for (auto& test : cases) {
        fill(3);
        table->reloadData();
        auto before = table->visibleCells();
        try {
            test.update();
            ADD_FAILURE() << "no error for: " << test.message;
        } catch (const TableViewInconsistency& error) {
            EXPECT_THAT(error.what(), HasSubstr(test.message));
        }
        EXPECT_EQ(table->visibleCells(), before);
        EXPECT_EQ(table->numberOfSections(), 1);
        EXPECT_EQ(table->numberOfRows(0), 3);
    }
}

TEST_F(TableViewTest, ScrollToRowPutsTheRowWhereAsked)
{
    fill(100);
    table->layoutIfNeeded();
    struct Case {
        IndexPath row;
        TableViewScrollPosition position;
        double startY;
        double expectedY;
    };
    std::vector<Case> cases = {
        { { 0, 50 }, TableViewScrollPosition::Top, 0, 2200 },
        { { 0, 50 }, TableViewScrollPosition::Middle, 0, 2200 + 22 - 240 },
        { { 0, 50 }, TableViewScrollPosition::Bottom, 0, 2244 - 480 },
        { { 0, 50 }, TableViewScrollPosition::None, 0, 2244 - 480 },
        { { 0, 50 }, TableViewScrollPosition::None, 3000, 2200 },
        { { 0, 5 }, TableViewScrollPosition::None, 0, 0 },
        { { 0, 0 }, TableViewScrollPosition::Bottom, 500, 0 },
        { { 0, 99 }, TableViewScrollPosition::Top, 0, 4400 - 480 },
    };
    for (auto& test : cases) {
        table->setContentOffset({ 0, test.startY });
        table->scrollToRow(test.row, test.position, false);
        EXPECT_EQ(table->contentOffset().y, test.expectedY)
            << toString(test.row) << " " << int(test.position);
        EXPECT_TRUE(table->cellForRow(test.row));
    }
    EXPECT_THROW(table->scrollToRow({ 0, 100 }, TableViewScrollPosition::Top, false), std::out_of_range);
}

TEST_F(TableViewTest, TappingRowsSelectsThemAndTellsTheDelegate)
{
    fill(3);
    table->layoutIfNeeded();
    EXPECT_TRUE(table->tapRow({ 0, 1 }));
    EXPECT_TRUE(table->tapRow({ 0, 2 }));
    EXPECT_THAT(rows->selected, ElementsAre("[0, 1]", "-[0, 1]", "[0, 2]"));
    EXPECT_TRUE(table->cellForRow({ 0, 2 })->isSelected());
    EXPECT_FALSE(table->cellForRow({ 0, 1 })->isSelected());

    auto cover = std::make_shared<View>(window->bounds());
    window->addSubview(cover);
    EXPECT_FALSE(table->tapRow({ 0, 0 })) << "a covered row cannot be tapped";
    EXPECT_FALSE(table->tapRow({ 0, 7 })) << "a row that does not show cannot be tapped";
}

TEST_F(TableViewTest, AutomaticHeightsFollowTheContentAndEmptyUpdatesMeasureAgain)
{
    rows->sections = { { "short", std::string(300, 'x'), "short" } };
    rows->height = TableView::automaticDimension;
    table->layoutIfNeeded();
    auto small = table->rectForRow({ 0, 0 }).height();
    auto tall = table->rectForRow({ 0, 1 }).height();
    EXPECT_GT(tall, small);
    EXPECT_EQ(table->cellForRow({ 0, 2 })->frame().y(), small + tall);

    table->cellForRow({ 0, 0 })->textLabel()->setText(std::string(300, 'x'));
    table->beginUpdates();
    table->endUpdates();
    EXPECT_EQ(table->rectForRow({ 0, 0 }).height(), tall);
}

TEST_F(TableViewTest, HeaderFooterAndBackgroundViewsTakeTheirPlaces)
{
    fill(2);
    auto header = std::make_shared<View>(Rect(0, 0, 10, 50));
    auto footer = std::make_shared<View>(Rect(0, 0, 10, 30));
    auto background = std::make_shared<View>();
    table->setTableHeaderView(header);
    table->setTableFooterView(footer);
    table->setBackgroundView(background);
    table->layoutIfNeeded();
    EXPECT_EQ(table->cellForRow({ 0, 0 })->frame().y(), 50);
    EXPECT_EQ(footer->frame(), Rect(0, 50 + 2 * 44, 320, 30));
    EXPECT_EQ(header->frame().width(), 320);
    EXPECT_EQ(table->contentSize().height, 50 + 2 * 44 + 30);
    EXPECT_EQ(background->frame(), table->bounds());
    EXPECT_EQ(table->subviews().front(), background);
}

TEST_F(TableViewTest, CellsComeFromRegisteredNibsOrNothingIsRegistered)
{
    std::shared_ptr<TableViewCell> cell;
    {
        ScopedNib big("BigCell", [](NibBuilder& nib) {
            auto cell = nib.topLevel(std::make_shared<TableViewCell>());
            cell->setTag(7);
        });
        table->registerNib("BigCell", "big");
        cell = table->dequeueReusableCell("big", { 0, 0 });
    }
    EXPECT_EQ(cell->tag(), 7);
    EXPECT_EQ(cell->reuseIdentifier(), "big");
    EXPECT_EQ(table->dequeueReusableCell("unknown"), nullptr);
    EXPECT_THROW(table->dequeueReusableCell("unknown", { 0, 0 }), std::logic_error);
}

}
}
