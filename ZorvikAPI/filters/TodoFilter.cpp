#include "ZorvikAPI/filters/TodoFilter.h"

#include "ZorvikAPI/models/Invoice.h"

namespace zorvik::api {

using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;
using platform::foundation::KeyLookup;
using platform::foundation::Value;

bool TodoFilter::isInvoiceTodo(const Invoice& invoice)
{
    return isRecordTodo(*invoice.record());
}

bool TodoFilter::isRecordTodo(const Dictionary& record)
{
    return isHistoryTodo(record.find("folders"));
}

bool TodoFilter::isHistoryTodo(const Value* folders)
{
    auto* history = folders ? folders->arrayPointer() : nullptr;
    return history && history->size() % 2 == 1;
}

ArrayRef TodoFilter::filterInvoices(const ArrayRef& invoices) const
{
    KeyLookup folders("folders");
    return select(invoices, { &folders },
        [&](const Dictionary& record) { return isHistoryTodo(folders.find(record)); });
}

}
