#include "ZorvikAPI/filters/TodoFilter.h"
#include "ZorvikAPI/filters/DoneFilter.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

namespace zorvik::api::test {
namespace {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;

/// An invoice whose folder history has `moves` entries (none at all when negative).
DictionaryRef movedTimes(int moves, std::string description)
{
    auto invoice = Dictionary::make({ { "description", std::move(description) } });
    if (moves < 0)
        return invoice;
    auto folders = Array::make();
    for (int move = 0; move < moves; ++move)
        folders->append(Dictionary::make({ { "name", move % 2 ? "done" : "todo" } }));
    invoice->set("folders", folders);
    return invoice;
}

std::vector<std::string> descriptions(const ArrayRef& invoices)
{
    std::vector<std::string> list;
    for (auto& invoice : *invoices)
        list.push_back(invoice.dictionary()->get("description").stringValue());
    return list;
}

TEST(TodoFilter, PlacesInvoicesByTheParityOfTheirHistory)
{
    struct Case {
        int moves;
        bool todo;
    };
    for (auto [moves, todo] : { Case { -1, false }, Case { 0, false }, Case { 1, true }, Case { 2, false },
             Case { 3, true }, Case { 10, false }, Case { 11, true } }) {
        SCOPED_TRACE(moves);
        Invoice invoice(movedTimes(moves, "x"));
        EXPECT_EQ(TodoFilter::isInvoiceTodo(invoice), todo);
        EXPECT_EQ(DoneFilter::isInvoiceDone(invoice), !todo);
    }
    // The names of the entries do not matter, only their number.
    auto renamed = movedTimes(1, "x");
    renamed->get("folders").array()->at(0).dictionary()->set("name", "done");
    EXPECT_TRUE(TodoFilter::isInvoiceTodo(Invoice(renamed)));
}

TEST(TodoFilter, SplitsAListInOrderWithoutChangingIt)
{
    auto invoices = Array::make({ movedTimes(1, "a"), movedTimes(2, "b"), movedTimes(-1, "c"),
        movedTimes(3, "d"), platform::foundation::Value("not an invoice") });
    auto before = invoices->shallowCopy();

    auto todo = TodoFilter().filterInvoices(invoices);
    auto done = DoneFilter().filterInvoices(invoices);

    EXPECT_EQ(descriptions(todo), (std::vector<std::string> { "a", "d" }));
    EXPECT_EQ(descriptions(done), (std::vector<std::string> { "b", "c" }));
    EXPECT_EQ(todo->at(0).dictionary(), invoices->at(0).dictionary());
    EXPECT_TRUE(invoices->equals(*before));

    for (const InvoiceFilter* filter :
        std::initializer_list<const InvoiceFilter*> { new TodoFilter, new DoneFilter }) {
        std::unique_ptr<const InvoiceFilter> owned(filter);
        auto empty = Array::make();
        auto result = owned->filterInvoices(empty);
        EXPECT_TRUE(result->empty());
        EXPECT_NE(result, empty);
        EXPECT_TRUE(owned->filterInvoices(nullptr)->empty());
    }
}

}
}
