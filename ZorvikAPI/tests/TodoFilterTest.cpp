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

/// The descriptions of the records of `invoices` that are to do (or done), each asked of the record alone.
std::vector<std::string> onePerRecord(const ArrayRef& invoices, bool todo)
{
    std::vector<std::string> list;
    for (auto& element : *invoices) {
        if (auto record = element.dictionary(); record && TodoFilter::isRecordTodo(*record) == todo)
            list.push_back(record->get("description").stringValue());
    }
    return list;
}

// The records of a list that the app has had for a while: keys added to some records and removed from
// others move the folder history within them, some lack it or hold something else under its name, and
// records change between two refreshes of the folders. Each refresh places each record as it is then.
TEST(TodoFilter, PlacesEachRecordOfAListOfChangingLayouts)
{
    auto invoices = Array::make();
    for (int index = 0; index < 60; ++index) {
        auto record = movedTimes(index % 4 - 1, "invoice " + std::to_string(index));
        for (int extra = 0; extra < index % 7; ++extra)
            record->set("extra " + std::to_string(extra), extra);
        if (index % 11 == 5)
            record->set("folders", "not a history");
        invoices->append(
            index % 13 == 12 ? platform::foundation::Value(index) : platform::foundation::Value(record));
    }
    for (int refresh = 0; refresh < 3; ++refresh) {
        SCOPED_TRACE(refresh);
        EXPECT_EQ(descriptions(TodoFilter().filterInvoices(invoices)), onePerRecord(invoices, true));
        EXPECT_EQ(descriptions(DoneFilter().filterInvoices(invoices)), onePerRecord(invoices, false));
        for (std::size_t index = refresh; index < invoices->size(); index += 3) {
            auto record = invoices->at(index).dictionary();
            if (!record)
                continue;
            record->set("a first key", refresh);
            record->remove("extra 0");
            if (auto history = record->get("folders").array())
                history->append(Dictionary::make({ { "name", "todo" } }));
        }
    }
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
