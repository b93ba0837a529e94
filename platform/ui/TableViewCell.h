#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace platform::ui {

class Label;

/// The layout of a cell's built-in labels; the numbers are the platform's.
enum class TableViewCellStyle { Default = 0, Value1 = 1, Value2 = 2, Subtitle = 3 };

/// How a selected cell shows; the numbers are the platform's.
enum class TableViewCellSelectionStyle { None = 0, Blue = 1, Gray = 2, Default = 3 };

/// One row of a table. Its content lives in the content view, which fills the cell; the built-in labels
/// (textLabel, and detailTextLabel for the styles other than Default) are made there on first use. A cell
/// with a reuse identifier goes back to its table's reuse pool when its row leaves the screen, and gets
/// prepareForReuse() before the table hands it out again. (A view cannot take subviews while it is being
/// constructed, so the content view joins the cell on first use of contentView() or when the cell is added
/// to a table.)
class TableViewCell : public View {
public:
    /// A cell of the style with the reuse identifier (empty: never reused).
    explicit TableViewCell(
        TableViewCellStyle style = TableViewCellStyle::Default, std::string reuseIdentifier = {});

    std::string className() const override { return "TableViewCell"; }

    /// The identifier the table reuses the cell under.
    const std::string& reuseIdentifier() const { return m_reuseIdentifier; }
    /// Sets the reuse identifier (tables set it on cells they make from a registration).
    void setReuseIdentifier(std::string identifier) { m_reuseIdentifier = std::move(identifier); }
    /// The style given at creation.
    TableViewCellStyle style() const { return m_style; }

    /// The view that holds the cell's content; it fills the cell.
    const std::shared_ptr<View>& contentView();
    /// The main label, made in the content view on first use.
    std::shared_ptr<Label> textLabel();
    /// The secondary label, made on first use; null for the Default style.
    std::shared_ptr<Label> detailTextLabel();
    /// A view drawn behind the content, or null.
    const std::shared_ptr<View>& backgroundView() const { return m_backgroundView; }
    /// Sets the view drawn behind the content.
    void setBackgroundView(const std::shared_ptr<View>& view);

    /// How the cell shows when selected.
    TableViewCellSelectionStyle selectionStyle() const { return m_selectionStyle; }
    /// Sets how the cell shows when selected.
    void setSelectionStyle(TableViewCellSelectionStyle style) { m_selectionStyle = style; }
    /// Whether the cell is selected.
    bool isSelected() const { return m_selected; }
    /// Selects or deselects the cell.
    virtual void setSelected(bool selected, bool animated = false);
    /// Whether a finger is down on the cell.
    bool isHighlighted() const { return m_highlighted; }
    /// Sets the highlighted state.
    virtual void setHighlighted(bool highlighted, bool animated = false);

    /// The margins the built-in labels keep from the edges (16 left and right, 8 top and bottom, unless set).
    const EdgeInsets& layoutMargins() const { return m_layoutMargins; }
    /// Sets the margins.
    void setLayoutMargins(const EdgeInsets& margins);
    /// Whether the cell takes its table's margins rather than its own.
    bool preservesSuperviewLayoutMargins() const { return m_preservesSuperviewMargins; }
    /// Sets whether the cell takes its table's margins.
    void setPreservesSuperviewLayoutMargins(bool preserves) { m_preservesSuperviewMargins = preserves; }
    /// Where the line under the cell starts and ends.
    const EdgeInsets& separatorInset() const { return m_separatorInset; }
    /// Sets where the line under the cell starts and ends.
    void setSeparatorInset(const EdgeInsets& inset) { m_separatorInset = inset; }

    /// Called by the table before it hands the cell out again: the cell is deselected and unhighlighted.
    /// Subclasses reset their own content and call this.
    virtual void prepareForReuse();

    /// Sizes the background and content views to the cell and places the built-in labels inside the margins.
    void layoutSubviews() override;
    /// The height the content needs at the given width (for automatic row heights): the built-in labels with
    /// the margins, or the lowest edge of the other content.
    Size sizeThatFits(Size size) const override;

    /// Puts the content view in place once the cell is in a table.
    void didMoveToSuperview() override;

    std::string describe() const override;

private:
    void installContentView();
    EdgeInsets effectiveMargins() const;

    TableViewCellStyle m_style { TableViewCellStyle::Default };
    std::string m_reuseIdentifier;
    std::shared_ptr<View> m_contentView;
    std::shared_ptr<Label> m_textLabel;
    std::shared_ptr<Label> m_detailTextLabel;
    std::shared_ptr<View> m_backgroundView;
    TableViewCellSelectionStyle m_selectionStyle { TableViewCellSelectionStyle::Default };
    bool m_selected { false };
    bool m_highlighted { false };
    EdgeInsets m_layoutMargins { 8, 16, 8, 16 };
    bool m_preservesSuperviewMargins { false };
    EdgeInsets m_separatorInset { 0, 16, 0, 0 };
};

}
