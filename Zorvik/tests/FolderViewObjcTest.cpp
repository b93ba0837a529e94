#include "Zorvik/Views/FolderView/InvoiceTableDatasourceObjc.h"
#include "Zorvik/tests/FolderListFixture.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Label.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace zorvik::test {
namespace {

using platform::foundation::Array;
using platform::foundation::DictionaryRef;

class FolderViewObjcTest : public FolderListTest {
protected:
    /// The descriptions the visible rows show, top first.
    std::vector<std::string> rows(FolderViewObjc& folder)
    {
        layout();
        std::vector<std::string> shown;
        if (!folder.invoicesTable()->superview())
            return shown;
        for (auto& cell : folder.invoicesTable()->visibleCells()) {
            std::function<void(const platform::ui::View&)> find = [&](const platform::ui::View& view) {
                for (auto& subview : view.subviews()) {
                    auto label = std::dynamic_pointer_cast<platform::ui::Label>(subview);
                    if (label && label->text() && label->text()->starts_with("Work "))
                        shown.push_back(*label->text());
                    find(*subview);
                }
            };
            find(*cell);
        }
        return shown;
    }

    /// The cells of the visible rows.
    std::vector<std::shared_ptr<platform::ui::TableViewCell>> cells(FolderViewObjc& folder)
    {
        layout();
        return folder.invoicesTable()->visibleCells();
    }

    /// Moves `invoice` to the other folder, as a move does: one more history entry.
    static void move(const DictionaryRef& invoice, const char* folder)
    {
        invoice->get("folders").array()->append(
            platform::foundation::Dictionary::make({ { "name", folder } }));
    }
};

TEST_F(FolderViewObjcTest, AnEmptyFirstListFadesInTheEmptyViewOverHalfASecond)
{
    auto folder = showFolder(true);
    folder->setInvoices(Array::make());
    auto empty = folder->emptyView();
    ASSERT_TRUE(empty->superview());
    EXPECT_EQ(empty->title()->text(), "Your To-Do list.");
    EXPECT_EQ(empty->explanation()->text(), "Outstanding invoices will be saved here.");
    EXPECT_EQ(platform::ui::Animation::presentationAlpha(*empty), 0);
    advance(0.25);
    EXPECT_NEAR(platform::ui::Animation::presentationAlpha(*empty), 0.5, 0.2);
    advance(0.25);
    EXPECT_EQ(platform::ui::Animation::presentationAlpha(*empty), 1);
    EXPECT_TRUE(rows(*folder).empty());
    EXPECT_EQ(showFolder(false)->emptyView()->title()->text(), "Your Done list.");
}

TEST_F(FolderViewObjcTest, AMoveDeletesExactlyItsRowAndTheOtherFolderInsertsRowZero)
{
    auto a = invoice(1, 1), b = invoice(2, 2), c = invoice(3, 3), paid = invoice(4, 9, { "todo", "done" });
    auto all = list({ a, b, c, paid });
    auto todo = showFolder(true);
    todo->setInvoices(all);
    auto before = cells(*todo);
    EXPECT_EQ(rows(*todo), (std::vector<std::string> { "Work 1", "Work 2", "Work 3" }));
    auto done = showFolder(false);
    done->setInvoices(all);
    auto paidCell = cells(*done).front();

    move(b, "done");
    todo->setInvoices(all);
    done->setInvoices(all);
    EXPECT_EQ(rows(*todo), (std::vector<std::string> { "Work 1", "Work 3" }));
    EXPECT_EQ(cells(*todo), (std::vector { before[0], before[2] })) << "only the moved row was deleted";
    EXPECT_EQ(rows(*done), (std::vector<std::string> { "Work 2", "Work 4" }));
    EXPECT_EQ(cells(*done).back(), paidCell) << "the row already there slid down, it was not remade";
}

TEST_F(FolderViewObjcTest, TheLastRowOutLeavesTheEmptyViewOnceTheRowHasGone)
{
    auto only = invoice(1, 1);
    auto all = list({ only });
    auto todo = showFolder(true);
    todo->setInvoices(all);
    ASSERT_EQ(rows(*todo).size(), 1u);
    EXPECT_FALSE(todo->emptyView()->superview());
    move(only, "done");
    todo->setInvoices(all);
    EXPECT_TRUE(todo->emptyView()->superview());
    advance(0.5);
    EXPECT_FALSE(todo->invoicesTable()->superview()) << "the table left after its animation";
    EXPECT_EQ(todo->datasource()->invoices()->size(), 0u);
}

TEST_F(FolderViewObjcTest, ListsThatTheTopRowsCannotDescribeReloadInsteadOfShowingStaleRows)
{
    struct Case {
        const char* what;
        std::vector<int> before;
        std::vector<int> after;
    };
    const Case cases[] = {
        { "the same count, other contents", { 1, 2 }, { 1, 3 } },
        { "an insertion then a removal before one hand-over", { 1, 2, 3 }, { 4, 1, 3 } },
        { "rows to delete that do not match the fall", { 1, 2, 3 }, { 4 } },
        { "a new row that is not the newest", { 1, 3 }, { 1, 2, 3 } },
    };
    std::map<int, DictionaryRef> invoices;
    for (int id = 1; id <= 4; ++id)
        invoices[id] = invoice(id, id);
    for (const auto& c : cases) {
        auto folder = showFolder(true);
        auto pick = [&](const std::vector<int>& ids) {
            auto made = Array::make();
            for (int id : ids)
                made->append(invoices[id]);
            return made;
        };
        folder->setInvoices(pick(c.before));
        folder->setInvoices(pick(c.after));
        std::vector<std::string> expected;
        for (int id : c.after)
            expected.push_back("Work " + std::to_string(id));
        EXPECT_EQ(rows(*folder), expected) << c.what;
        folder->removeFromSuperview();
    }
}

TEST_F(FolderViewObjcTest, OneOfTwoEqualInvoicesLeavingReloadsRatherThanThrows)
{
    auto first = invoice(1, 1);
    auto twin = first->deepCopy();
    auto todo = showFolder(true);
    todo->setInvoices(list({ first, twin }));
    ASSERT_EQ(rows(*todo).size(), 2u);
    EXPECT_NO_THROW(todo->setInvoices(list({ first })));
    EXPECT_EQ(rows(*todo), (std::vector<std::string> { "Work 1" }));
}

}
}
