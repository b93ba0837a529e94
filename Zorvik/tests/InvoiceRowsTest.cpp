#include "Zorvik/Models/PrettyDate.h"
#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "Zorvik/Views/CurrencyControls/CurrencyLabel/CurrencyLabel.h"
#include "Zorvik/Views/FolderView/InvoiceTableCellViewObjc.h"
#include "Zorvik/Views/FriendlyDateLabel/FriendlyDateLabel.h"
#include "Zorvik/Views/FriendlyDayLabel/FriendlyDayLabel.h"
#include "Zorvik/tests/FolderListFixture.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using InvoiceRowsTest = FolderListTest;

struct Shown {
    std::string title;
    platform::ui::Color colour;
    std::string image;
    std::string label;
};

// What the row shows: its title and the title's colour, the status picture, and the one date label that
// shows (the other hidden).
Shown shown(const InvoiceTableCellViewObjc& row)
{
    bool dateShows = !row.dateLabel()->isHidden();
    EXPECT_NE(dateShows, !row.dayLabel()->isHidden()) << "exactly one of the date labels shows";
    auto image = row.statusIcon()->image();
    return { row.titleLabel()->text().value_or(""), row.titleLabel()->textColor(), image ? image->name() : "",
        (dateShows ? row.dateLabel()->text() : row.dayLabel()->text()).value_or("") };
}

TEST_F(InvoiceRowsTest, AToDoRowShowsItsStateByTheDaysSinceSending)
{
    struct Case {
        double days;
        Shown expected;
    };
    auto teal = ColoursObjc::teal(), due = ColoursObjc::dueYellow(), late = ColoursObjc::lateRed();
    const Case cases[] = {
        { 0, { "outstanding", teal, "InvoiceTableCellImageSent", "sent today" } },
        { 1, { "outstanding", teal, "InvoiceTableCellImageSent", "sent yesterday" } },
        { 28, { "outstanding", due, "InvoiceTableCellImageDue", "due in 2 days" } },
        { 30, { "outstanding", due, "InvoiceTableCellImageDue", "due today" } },
        { 31, { "outstanding", late, "InvoiceTableCellImageLate", "late by 1 day" } },
        { 40, { "outstanding", late, "InvoiceTableCellImageLate", "late by 10 days" } },
    };
    SentInvoiceTableCellViewProviderObjc provider(journal);
    for (const auto& c : cases) {
        auto row = provider.documentView();
        row->setInvoice(invoice(3, c.days));
        auto seen = shown(*row);
        EXPECT_EQ(seen.title, c.expected.title) << c.days;
        EXPECT_EQ(seen.colour, c.expected.colour) << c.days;
        EXPECT_EQ(seen.image, c.expected.image) << c.days;
        EXPECT_EQ(seen.label, c.expected.label) << c.days;
        auto shownLabel = row->dateLabel()->isHidden()
            ? std::static_pointer_cast<platform::ui::Label>(row->dayLabel())
            : std::static_pointer_cast<platform::ui::Label>(row->dateLabel());
        EXPECT_EQ(shownLabel->textColor(), c.expected.colour) << c.days;
        EXPECT_EQ(row->descriptionLabel()->text(), "Work 3");
        EXPECT_EQ(row->companyNameLabel()->text(), "to Acme Ltd");
        EXPECT_EQ(row->amountLabel()->text(), "£123.45");
        EXPECT_EQ(row->folder(), "done");
    }
}

TEST_F(InvoiceRowsTest, ADoneRowShowsTheDayOfItsLastMoveOrElseItsSentDay)
{
    PaidInvoiceTableCellViewProviderObjc provider(journal);
    auto row = provider.documentView();
    auto paid = invoice(5, 40, { "todo", "done", "todo", "done" });
    row->setInvoice(paid);
    auto seen = shown(*row);
    EXPECT_EQ(seen.title, "paid");
    EXPECT_EQ(seen.image, "InvoiceTableCellImagePaid");
    auto lastMove
        = api::fromServerDateString(*paid->get("folders").array()->last().dictionary()->get("date").string());
    EXPECT_EQ(seen.label, "paid " + prettyFormatDate(*lastMove)) << "the last move, not the sent day";
    EXPECT_EQ(row->folder(), "todo");

    auto noHistory = invoice(6, 1, {});
    row = provider.documentView();
    row->setInvoice(noHistory);
    EXPECT_EQ(shown(*row).label, "sent yesterday") << "without a history there is no day of the move";
}

TEST_F(InvoiceRowsTest, AFriendlyDateLabelShowsAPrefixChangeAtTheNextDate)
{
    FriendlyDateLabel label;
    label.setDate(platform::foundation::now());
    EXPECT_EQ(label.text(), "today");
    label.setPrefix("sent ");
    EXPECT_EQ(label.text(), "today");
    label.setDate(platform::foundation::now().addingSeconds(-86400));
    EXPECT_EQ(label.text(), "sent yesterday");
}

}
}
