#pragma once

#include "Zorvik/Views/ContentView/FormViewObjc.h"
#include "Zorvik/Views/LineItemsView/LineItemTableViewCell.h"
#include "platform/foundation/Value.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <optional>
#include <string>

namespace zorvik {

class LineItemsTableViewFooter;

/// What the line-items view asks of its controller besides a form's save and done.
class LineItemsViewDelegate : public FormControllerProtocol {
public:
    /// Asks whether to delete the row the user chose; "Yes" calls the view's deleteInvoiceConfirmed().
    virtual void showDeleteLineItemConfirmation() = 0;
};

/// The form of the line-items editor: a table of line-item rows with an add button at its foot, under a
/// bar whose title is the count and total ("2 items : £44.41"). It always holds at least one item: an
/// empty list, or deleting the last row, gives one fresh item (VAT on, quantity 1). Any change in a row,
/// an added or a deleted item turns editing on; save keeps a deep copy of the list to cancel back to, and
/// cancel asks "Discard last changes?" first. Read-only, the add button is hidden and rows take no touches.
/// Made in code with make(); its content comes from the nib "LineItemsView".
class LineItemsView : public FormViewObjc,
                      public platform::ui::TableViewDataSource,
                      public platform::ui::TableViewDelegate,
                      public LineItemTableViewCellDelegate {
public:
    /// The estimated height of a row.
    static constexpr double estimatedRowHeight = 274;

    LineItemsView();

    /// A form holding one new item, titled "Add items", not editing.
    static std::shared_ptr<LineItemsView> make();

    std::string className() const override { return "LineItemsView"; }

    /// A new item: empty description, unit price 0, quantity 1, VAT at 20 %.
    static platform::foundation::DictionaryRef newLineItem();

    /// The items shown, never empty.
    const platform::foundation::ArrayRef& lineItems() const { return m_lineItems; }
    /// Shows a copy of the list (the same records) and titles the bar with its count and total.
    void setLineItems(const platform::foundation::ArrayRef& lineItems);
    /// The items.
    Document currentDocument() const override;
    /// Shows the list (one new item for an empty one) and makes it the snapshot a cancel returns to.
    void setCurrentDocument(const Document& document) override;
    /// Whether the add button is hidden.
    bool readOnly() const;
    /// Hides the add button and titles the bar "Line items" (or shows it, "Add items"); rows made from now
    /// on take touches only when not read-only.
    void setReadOnly(bool readOnly);
    /// Titles the bar with the count and the total of the items' gross amounts in whole pence.
    void updateHeader();
    /// "Discard last changes?", no message, "Yes, cancel" and "No".
    std::optional<Question> cancelConfirmation() const override;
    /// Restores the snapshot and titles the bar again.
    void cancelConfirmed() override;
    /// Deletes the row the user chose, when it still shows; a fresh item replaces the last one.
    void deleteInvoiceConfirmed();
    /// Appends a new item and turns editing on.
    void addLineItem();

    const std::shared_ptr<platform::ui::TableView>& lineItemsTable() const { return m_lineItemsTable; }
    std::shared_ptr<LineItemsTableViewFooter> footer() const;

    int numberOfRows(platform::ui::TableView&, int section) override;
    std::shared_ptr<platform::ui::TableViewCell> cellForRow(
        platform::ui::TableView& table, const platform::ui::IndexPath& indexPath) override;
    void lineItemTableViewCellBeganEditing(LineItemTableViewCell& cell) override;
    void lineItemTableViewCellEditingChanged(LineItemTableViewCell& cell) override;
    void deletePressedOnLineItemCell(LineItemTableViewCell& cell) override;

protected:
    void construct() override;

private:
    void startEditing();

    std::shared_ptr<platform::ui::TableView> m_lineItemsTable;
    platform::foundation::ArrayRef m_lineItems;
    std::weak_ptr<LineItemTableViewCell> m_cellToDelete;
};

}
