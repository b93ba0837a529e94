#include "Zorvik/ViewControllers/FoldersViewController/FoldersViewControllerObjc.h"
#include "Zorvik/ViewControllers/InvoiceSummaryViewController/InvoiceSummaryViewController.h"
#include "Zorvik/Views/CurrencyControls/CurrencyLabel/CurrencyLabel.h"
#include "Zorvik/Views/FolderView/InvoiceTableCellViewObjc.h"
#include "Zorvik/Views/FolderView/InvoiceTableCellViewProviders.h"
#include "Zorvik/Views/FriendlyDayLabel/FriendlyDayLabel.h"
#include "Zorvik/Views/InvoiceSummaryView/InvoiceSummaryContentView.h"
#include "Zorvik/Views/InvoiceSummaryView/InvoiceSummaryView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "Zorvik/tests/FrameFixture.h"
#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "ZorvikAPI/models/LineItem.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/DeviceEnvironment.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;

constexpr const char* kNow = "2026-06-20T12:00:00.000+0100";

/// An invoice of `pence` sent `days` calendar days before kNow, with `moves` folder entries (odd: To-Do),
/// or, with `items`, line items of that net price each (no VAT) in place of its amount.
DictionaryRef invoice(std::int64_t pence, int days, int moves, int items = 0)
{
    auto sent = api::fromServerDateString(kNow)->addingSeconds(-days * 86400.0);
    auto record = Dictionary::make();
    record->set("net_amount", pence);
    record->set("gross_amount", items ? 0 : pence);
    record->set("sent", api::toServerDateString(sent));
    auto folders = Array::make();
    for (int move = 0; move < moves; ++move)
        folders->append(Dictionary::make({ { "name", move % 2 ? "done" : "todo" } }));
    record->set("folders", folders);
    if (items) {
        auto lines = Array::make();
        for (int i = 0; i < items; ++i) {
            auto line = Dictionary::make();
            api::LineItem(line).setDescriptionOfWork("Work");
            api::LineItem(line).setQuantity(1);
            api::LineItem(line).setUnitPrice(pence);
            lines->append(line);
        }
        record->set("line-items", lines);
        record->set("net_amount", 0);
    }
    return record;
}

/// The summary screen pushed over the folders screen on a London phone whose clock reads kNow, with the
/// app's pictures.
class InvoiceSummaryTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        platform::foundation::Files::setBundleDirectory(
            std::filesystem::path(ZORVIK_REPOSITORY_DIR) / "resources");
        registerNibs();
        platform::foundation::mainQueue().useVirtualClock(*api::fromServerDateString(kNow));
    }

    void open(const ArrayRef& invoices)
    {
        summary = std::make_shared<InvoiceSummaryViewController>(invoices);
        navigation = showStack({ std::make_shared<FoldersViewControllerObjc>() });
        navigation->pushViewController(summary, false);
        layout();
        content = summary->summaryView()->summaryContentView();
    }

    /// The three totals as they show: "paid / outstanding / late".
    std::string shown() const
    {
        return content->totalCurrency()->text().value_or("") + " / "
            + content->outstandingCurrency()->text().value_or("") + " / "
            + content->lateCurrency()->text().value_or("");
    }

    platform::foundation::ScopedDeviceEnvironment device { "en_GB", "Europe/London" };
    std::shared_ptr<InvoiceSummaryViewController> summary;
    std::shared_ptr<platform::ui::NavigationController> navigation;
    std::shared_ptr<InvoiceSummaryContentView> content;
};

TEST_F(InvoiceSummaryTest, TheTotalsCountUpToWhatWasPaidWhatIsOutstandingAndWhatIsLate)
{
    struct Case {
        const char* name;
        std::vector<DictionaryRef> invoices;
        const char* totals;
    };
    const Case cases[] {
        { "none", {}, "£0.00 / £0.00 / £0.00" },
        { "to do, sent today", { invoice(1000, 0, 1) }, "£0.00 / £10.00 / £0.00" },
        { "done, long ago", { invoice(1000, 90, 2) }, "£10.00 / £0.00 / £0.00" },
        { "never moved counts as done", { invoice(1000, 90, 0) }, "£10.00 / £0.00 / £0.00" },
        { "back in to do, long ago", { invoice(1000, 90, 3) }, "£0.00 / £10.00 / £10.00" },
        { "29 and 31 days", { invoice(1000, 29, 1), invoice(2000, 31, 1) }, "£0.00 / £30.00 / £20.00" },
        { "line items count at their total", { invoice(1250, 40, 1, 2), invoice(700, 3, 2, 1) },
            "£7.00 / £25.00 / £25.00" },
        { "thousands", { invoice(123456789, 1, 2), invoice(100000, 1, 1) },
            "£1,234,567.89 / £1,000.00 / £0.00" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        open(Array::make(std::vector<platform::foundation::Value>(c.invoices.begin(), c.invoices.end())));
        advance(0.6);
        EXPECT_EQ(shown(), c.totals);
    }
}

TEST_F(InvoiceSummaryTest, TheLabelsCountTogetherOverHalfASecond)
{
    open(Array::make({ invoice(10000, 1, 2), invoice(20000, 40, 1) }));
    EXPECT_EQ(shown(), "£0.00 / £0.00 / £0.00");
    advance(0.25);
    EXPECT_EQ(shown(), "£50.00 / £100.00 / £100.00");
    advance(0.25);
    EXPECT_EQ(shown(), "£100.00 / £200.00 / £200.00");
}

TEST_F(InvoiceSummaryTest, AnInvoiceIsLateInTheSummaryExactlyWhenItsRowSaysSo)
{
    struct Case {
        const char* now;
        const char* sent;
        const char* row;
    };
    // Sent near midnight, around the spring and autumn clock changes: calendar days on London's wall clock
    // decide, so 30 days of 24 hours may pass while the row still reads "due today".
    const Case cases[] {
        { "2026-04-20T00:30:00.000+0100", "2026-03-22T23:45:00.000+0000", "due in 1 day" },
        { "2026-04-20T00:30:00.000+0100", "2026-03-21T23:45:00.000+0000", "due today" },
        { "2026-04-20T00:30:00.000+0100", "2026-03-20T23:45:00.000+0000", "late by 1 day" },
        { "2026-04-20T23:30:00.000+0100", "2026-03-21T00:10:00.000+0000", "due today" },
        { "2026-11-15T23:30:00.000+0000", "2026-10-17T00:10:00.000+0100", "due in 1 day" },
        { "2026-11-15T23:30:00.000+0000", "2026-10-16T00:10:00.000+0100", "due today" },
        { "2026-11-15T23:30:00.000+0000", "2026-10-15T00:10:00.000+0100", "late by 1 day" },
        { "2026-06-30T23:30:00.000+0000", "2026-05-31T12:00:00.000+0000", "late by 1 day" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.now) + " sent " + c.sent);
        platform::foundation::mainQueue().useVirtualClock(*api::fromServerDateString(c.now));
        auto record = Dictionary::make({ { "net_amount", 1000 }, { "gross_amount", 1000 }, { "sent", c.sent },
            { "folders", Array::make({ Dictionary::make({ { "name", "todo" } }) }) } });
        auto row = SentInvoiceTableCellViewProviderObjc({}).documentView();
        row->setInvoice(record);
        ASSERT_FALSE(row->dayLabel()->isHidden()) << "the row counts the days";
        EXPECT_EQ(row->dayLabel()->text(), c.row);
        bool rowLate = row->statusIcon()->image()->name() == "InvoiceTableCellImageLate";
        EXPECT_EQ(rowLate, std::string(c.row).starts_with("late"));
        auto late = InvoiceSummaryContentView::totals(Array::make({ record })).late;
        EXPECT_EQ(late, rowLate ? 1000 : 0);
    }
}

TEST_F(InvoiceSummaryTest, AnInvoiceWithoutAReadableSentDateIsNeverLate)
{
    for (auto sent : { platform::foundation::Value(), platform::foundation::Value("yesterday") }) {
        auto record = invoice(1000, 0, 1);
        record->set("sent", sent);
        auto totals = InvoiceSummaryContentView::totals(Array::make({ record }));
        EXPECT_EQ(totals.outstanding, 1000);
        EXPECT_EQ(totals.late, 0);
    }
}

TEST_F(InvoiceSummaryTest, CloseReturnsToTheFoldersOverTheBubbleOfTheScreensHeight)
{
    for (auto size : { platform::ui::Screen::size320x568, platform::ui::Screen::size375x667 }) {
        useScreen(size);
        open(Array::make());
        auto view = summary->summaryView();
        ASSERT_TRUE(view->bgImageView()->image());
        EXPECT_EQ(view->bgImageView()->image()->name(),
            size.height == 667 ? "BackgroundOffCentreBubble-667" : "BackgroundOffCentreBubble");
        EXPECT_EQ(view->navigationBar()->negativeButton()->isHidden(), true);
        EXPECT_EQ(summary->preferredStatusBarStyle(), platform::ui::StatusBarStyle::LightContent);

        tap("close");
        driver.wait(0.5);
        EXPECT_EQ(navigation->topViewController()->className(), "FoldersViewControllerObjc");
    }
}

}
}
