#include "Zorvik/Views/FolderView/FolderViewObjc.h"

#include "Zorvik/Views/FolderView/EmptyFolderViewObjc.h"
#include "Zorvik/Views/FolderView/InvoiceTableDatasourceObjc.h"
#include "Zorvik/Views/FoldersView/FoldersControllerProtocol.h"
#include "ZorvikAPI/filters/InvoiceFilter.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Animation.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace zorvik {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Value;
using platform::ui::IndexPath;

namespace {

const platform::foundation::Dictionary* record(const Value& value)
{
    return value.dictionary().get();
}

// Whether `rows`, in order, are the very records of `fresh` from index `skip` on.
bool sameRecordsFrom(const Array& rows, const Array& fresh, std::size_t skip)
{
    if (fresh.size() != rows.size() + skip)
        return false;
    const auto& kept = rows.values();
    const auto& wanted = fresh.values();
    return std::equal(kept.begin(), kept.end(), wanted.begin() + std::ptrdiff_t(skip),
        [](const Value& a, const Value& b) { return record(a) == record(b); });
}

}

FolderViewObjc::FolderViewObjc()
{
    declareOutlet("invoicesTable", m_invoicesTable);
}

std::shared_ptr<FolderViewObjc> FolderViewObjc::make(std::shared_ptr<EmptyFolderViewObjc> emptyView,
    std::shared_ptr<InvoiceTableCellViewProvider> viewProvider, std::shared_ptr<api::InvoiceFilter> filter)
{
    auto folder = create<FolderViewObjc>();
    folder->m_emptyView = std::move(emptyView);
    folder->m_datasource = std::make_shared<InvoiceTableDatasourceObjc>(std::move(viewProvider));
    folder->m_filter = std::move(filter);
    folder->m_invoicesTable->setDataSource(folder->m_datasource);
    folder->m_invoicesTable->setDelegate(
        std::static_pointer_cast<FolderViewObjc>(folder->shared_from_this()));
    folder->showEmptyView();
    return folder;
}

const ArrayRef& FolderViewObjc::invoices() const
{
    return m_datasource->invoices();
}

void FolderViewObjc::setInvoices(const ArrayRef& invoices)
{
    auto fresh = m_filter->filterInvoices(invoices);
    if (fresh->empty())
        showEmptyView();
    else
        showTable();
    animateInvoicesFromTop(fresh);
}

void FolderViewObjc::showTable()
{
    m_emptyView->removeFromSuperview();
    if (!m_invoicesTable->superview()) {
        addSubview(m_invoicesTable);
        setNeedsLayout();
    }
}

void FolderViewObjc::showEmptyView()
{
    addSubview(m_emptyView);
    setNeedsLayout();
    m_emptyView->setAlpha(0);
    platform::ui::Animation::animate(kEmptyViewFadeDuration, [this] { m_emptyView->setAlpha(1); });
}

void FolderViewObjc::animateInvoicesFromTop(const ArrayRef& fresh)
{
    const auto& shown = m_datasource->invoices();
    auto table = m_invoicesTable;
    if (fresh->size() > shown->size()) {
        std::size_t rise = fresh->size() - shown->size();
        bool rowsStayRight = sameRecordsFrom(*shown, *fresh, rise);
        std::vector<IndexPath> inserted;
        inserted.reserve(rise);
        for (std::size_t row = 0; row < rise; ++row)
            inserted.push_back({ 0, int(row) });
        table->beginUpdates();
        m_datasource->setInvoices(fresh);
        table->insertRows(inserted, platform::ui::TableViewRowAnimation::Top);
        table->endUpdates();
        if (!rowsStayRight)
            table->reloadData();
    } else if (fresh->size() < shown->size()) {
        deleteRowsOfInvoicesThatLeft(fresh, shown->size() - fresh->size());
    } else if (!sameRecordsFrom(*shown, *fresh, 0)) {
        m_datasource->setInvoices(fresh);
        table->reloadData();
    }
}

void FolderViewObjc::deleteRowsOfInvoicesThatLeft(const ArrayRef& fresh, std::size_t fall)
{
    ArrayRef shown = m_datasource->invoices();
    std::unordered_set<const platform::foundation::Dictionary*> staying;
    staying.reserve(fresh->size());
    for (const auto& invoice : *fresh)
        staying.insert(record(invoice));
    std::vector<IndexPath> gone;
    auto kept = Array::make();
    for (std::size_t row = 0; row < shown->size(); ++row) {
        const Value& invoice = shown->values()[row];
        bool contained = staying.contains(record(invoice))
            || std::any_of(
                fresh->begin(), fresh->end(), [&](const Value& other) { return other == invoice; });
        if (contained)
            kept->append(invoice);
        else
            gone.push_back({ 0, int(row) });
    }
    std::weak_ptr<FolderViewObjc> weakSelf = std::static_pointer_cast<FolderViewObjc>(shared_from_this());
    platform::ui::AnimationTransaction::begin();
    platform::ui::AnimationTransaction::setCompletion([weakSelf] {
        auto self = weakSelf.lock();
        if (self && self->m_datasource->invoices()->empty())
            self->m_invoicesTable->removeFromSuperview();
    });
    if (gone.size() == fall && sameRecordsFrom(*kept, *fresh, 0)) {
        m_invoicesTable->beginUpdates();
        m_datasource->setInvoices(fresh);
        m_invoicesTable->deleteRows(gone, platform::ui::TableViewRowAnimation::Top);
        m_invoicesTable->endUpdates();
    } else {
        m_datasource->setInvoices(fresh);
        m_invoicesTable->reloadData();
    }
    platform::ui::AnimationTransaction::commit();
}

void FolderViewObjc::didSelectRow(platform::ui::TableView&, const IndexPath& indexPath)
{
    auto self = shared_from_this();
    auto invoice = invoices()->at(std::size_t(indexPath.row)).dictionary();
    if (auto listener = delegate())
        listener->showInvoice(invoice);
}

void FolderViewObjc::didMoveToSuperview()
{
    XibViewObjcmb::didMoveToSuperview();
    if (superview())
        m_invoicesTable->reloadData();
}

void FolderViewObjc::layoutSubviews()
{
    XibViewObjcmb::layoutSubviews();
    platform::ui::Rect area { 0, 0, bounds().width(), bounds().height() };
    if (m_invoicesTable)
        m_invoicesTable->setFrame(area);
    if (m_emptyView)
        m_emptyView->setFrame(area);
}

}
