#pragma once

#include "platform/ui/IndexPath.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableViewCell.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform::ui {

class TableView;

/// How a table's sections look; the numbers are the platform's.
enum class TableViewStyle { Plain = 0, Grouped = 1 };

/// How inserted, deleted or reloaded rows come and go; the numbers are the platform's.
enum class TableViewRowAnimation {
    Fade = 0,
    Right = 1,
    Left = 2,
    Top = 3,
    Bottom = 4,
    None = 5,
    Middle = 6,
    Automatic = 100
};

/// Where scrollToRow puts the row; the numbers are the platform's.
enum class TableViewScrollPosition { None = 0, Top = 1, Middle = 2, Bottom = 3 };

/// Whether lines separate the rows; the numbers are the platform's.
enum class TableViewCellSeparatorStyle { None = 0, SingleLine = 1 };

/// A broken table update (the row counts do not agree with the inserts and deletes, a row out of range):
/// a programming error, as on the platform, with a message like the platform's.
class TableViewInconsistency : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

/// Where a table's rows come from. numberOfRows and cellForRow must be answered; the rest has defaults.
class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;

    /// The number of sections (1 by default).
    virtual int numberOfSections(TableView&) { return 1; }
    /// The number of rows in a section.
    virtual int numberOfRows(TableView&, int section) = 0;
    /// The cell for a row, usually from TableView::dequeueReusableCell. Must not be null.
    virtual std::shared_ptr<TableViewCell> cellForRow(TableView&, const IndexPath& indexPath) = 0;
};

/// Told about, and asked about, a table's rows. Every method has a default; as a scroll view delegate it also
/// hears the table's scrolling.
class TableViewDelegate : public ScrollViewDelegate {
public:
    /// The height of a row (TableView::automaticDimension to size it to its content), or nothing for the
    /// table's rowHeight.
    virtual std::optional<double> heightForRow(TableView&, const IndexPath&) { return std::nullopt; }
    /// The height a row of automatic height is taken to have until its cell is made, or nothing for the
    /// table's estimatedRowHeight.
    virtual std::optional<double> estimatedHeightForRow(TableView&, const IndexPath&) { return std::nullopt; }
    /// The view above a section, or null.
    virtual std::shared_ptr<View> viewForHeader(TableView&, int /*section*/) { return nullptr; }
    /// The view below a section, or null.
    virtual std::shared_ptr<View> viewForFooter(TableView&, int /*section*/) { return nullptr; }
    /// The height of a section's header, or nothing for its view's height (0 without a view).
    virtual std::optional<double> heightForHeader(TableView&, int /*section*/) { return std::nullopt; }
    /// The height of a section's footer, or nothing for its view's height (0 without a view).
    virtual std::optional<double> heightForFooter(TableView&, int /*section*/) { return std::nullopt; }
    /// A cell is about to be shown for a row.
    virtual void willDisplayCell(TableView&, TableViewCell&, const IndexPath&) { }
    /// The user is about to select a row: the row to select instead, or nothing to select none.
    virtual std::optional<IndexPath> willSelectRow(TableView&, const IndexPath& indexPath)
    {
        return indexPath;
    }
    /// The user selected a row.
    virtual void didSelectRow(TableView&, const IndexPath&) { }
    /// The user's tap on another row deselected this one.
    virtual void didDeselectRow(TableView&, const IndexPath&) { }
};

/// A scrolling list of rows in sections, filled by a data source.
///
/// Only rows that show get cells: as the table scrolls, cells whose rows leave the visible area go back to
/// the reuse pool (by reuse identifier) and new rows take cells from it through dequeueReusableCell. The data
/// source is first asked when the table is laid out, reloaded, or asked about its rows.
///
/// Row heights: the delegate's heightForRow, else rowHeight (44 unless set). automaticDimension sizes a row
/// to its cell's content (TableViewCell::sizeThatFits) once the cell is made; until then the row counts with
/// the estimated height.
///
/// Updates: insertRows, deleteRows and reloadRows between beginUpdates and endUpdates (or alone, each its own
/// update) are checked at the end against the data source: every section must hold its former row count plus
/// the inserts minus the deletes, deleted and reloaded rows must have existed before, and inserted rows must
/// exist after; otherwise endUpdates throws TableViewInconsistency and the table keeps its former state.
/// Animated updates slide the remaining rows to their new places on the main queue's clock; inserted rows
/// appear in place and deleted rows leave at once. An empty update pair reads the row heights again.
class TableView : public ScrollView {
public:
    /// Makes a cell for a registered reuse identifier.
    using CellFactory = std::function<std::shared_ptr<TableViewCell>(const std::string& reuseIdentifier)>;

    /// The row height that sizes a row to its content.
    static constexpr double automaticDimension = -1;
    /// The row height unless set.
    static constexpr double defaultRowHeight = 44;
    /// How long animated updates take, in seconds.
    static constexpr double updateAnimationDuration = 0.3;

    /// A table with the frame and style.
    explicit TableView(Rect frame = Rect::zero(), TableViewStyle style = TableViewStyle::Plain);

    std::string className() const override { return "TableView"; }

    /// The style given at creation.
    TableViewStyle style() const { return m_style; }

    /// The data source, or null.
    std::shared_ptr<TableViewDataSource> dataSource() const { return m_dataSource.lock(); }
    /// Sets the data source, held weakly; the rows are read again on the next layout or query.
    void setDataSource(const std::weak_ptr<TableViewDataSource>& dataSource);
    /// The delegate, or null.
    std::shared_ptr<TableViewDelegate> delegate() const { return m_tableDelegate.lock(); }
    /// Sets the delegate (also the scroll view delegate), held weakly.
    void setDelegate(const std::weak_ptr<TableViewDelegate>& delegate);

    // Rows and heights

    /// The height of rows the delegate does not size (may be automaticDimension).
    double rowHeight() const { return m_rowHeight; }
    /// Sets the height of rows the delegate does not size.
    void setRowHeight(double height);
    /// The height automatic rows count with until measured (0: defaultRowHeight).
    double estimatedRowHeight() const { return m_estimatedRowHeight; }
    /// Sets the estimated height.
    void setEstimatedRowHeight(double height) { m_estimatedRowHeight = height; }

    /// The number of sections (reading the data source when the table was never loaded).
    int numberOfSections();
    /// The number of rows in a section (0 for a section that does not exist).
    int numberOfRows(int section);
    /// Reads every count and height again and makes the visible cells anew; the selection is cleared.
    void reloadData();

    /// The view above all sections, or null. Its height is its frame's.
    const std::shared_ptr<View>& tableHeaderView() const { return m_tableHeaderView; }
    /// Sets the view above all sections.
    void setTableHeaderView(const std::shared_ptr<View>& view);
    /// The view below all sections, or null. Its height is its frame's.
    const std::shared_ptr<View>& tableFooterView() const { return m_tableFooterView; }
    /// Sets the view below all sections.
    void setTableFooterView(const std::shared_ptr<View>& view);
    /// The view behind the rows, filling the visible area, or null.
    const std::shared_ptr<View>& backgroundView() const { return m_backgroundView; }
    /// Sets the view behind the rows.
    void setBackgroundView(const std::shared_ptr<View>& view);

    /// Whether lines separate the rows.
    TableViewCellSeparatorStyle separatorStyle() const { return m_separatorStyle; }
    /// Sets whether lines separate the rows.
    void setSeparatorStyle(TableViewCellSeparatorStyle style) { m_separatorStyle = style; }
    /// The colour of the lines.
    const Color& separatorColor() const { return m_separatorColor; }
    /// Sets the colour of the lines.
    void setSeparatorColor(const Color& color) { m_separatorColor = color; }
    /// The margins cells take when they preserve their superview's margins (8 and 16 unless set).
    const EdgeInsets& layoutMargins() const { return m_layoutMargins; }
    /// Sets the margins.
    void setLayoutMargins(const EdgeInsets& margins) { m_layoutMargins = margins; }

    // Cells

    /// Makes cells for `reuseIdentifier` from the nib `nibName`, whose first top-level view must be a cell.
    void registerNib(const std::string& nibName, const std::string& reuseIdentifier);
    /// Makes cells for `reuseIdentifier` with `factory`.
    void registerClass(const std::string& reuseIdentifier, CellFactory factory);
    /// Makes cells of class T (constructible from a style and a reuse identifier) for `reuseIdentifier`.
    template<class T> void registerClass(const std::string& reuseIdentifier)
    {
        registerClass(reuseIdentifier, [](const std::string& identifier) {
            return std::make_shared<T>(TableViewCellStyle::Default, identifier);
        });
    }
    /// A cell from the reuse pool (after its prepareForReuse), else a new one from the registration, else
    /// null.
    std::shared_ptr<TableViewCell> dequeueReusableCell(const std::string& reuseIdentifier);
    /// As above, but never null: throws std::logic_error when nothing is registered for the identifier.
    std::shared_ptr<TableViewCell> dequeueReusableCell(
        const std::string& reuseIdentifier, const IndexPath& indexPath);
    /// How many cells wait in the reuse pool.
    std::size_t reusableCellCount() const;

    /// The cell showing a row, or null when the row is not visible.
    std::shared_ptr<TableViewCell> cellForRow(const IndexPath& indexPath);
    /// The cells showing, in row order.
    std::vector<std::shared_ptr<TableViewCell>> visibleCells();
    /// The rows showing, in order.
    std::vector<IndexPath> indexPathsForVisibleRows();
    /// The row a visible cell shows, or nothing.
    std::optional<IndexPath> indexPathForCell(const TableViewCell& cell) const;
    /// The rectangle of a row in the table's content. Throws std::out_of_range for a row that does not exist.
    Rect rectForRow(const IndexPath& indexPath);

    // Updates

    /// Starts a group of updates checked and applied together at endUpdates.
    void beginUpdates();
    /// Checks and applies the updates of the group (see the class comment). Throws TableViewInconsistency, or
    /// std::logic_error without a matching beginUpdates.
    void endUpdates();
    /// Inserts rows (index paths after the update).
    void insertRows(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation);
    /// Deletes rows (index paths before the update).
    void deleteRows(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation);
    /// Makes the cells of rows anew (index paths before the update).
    void reloadRows(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation);

    // Scrolling and selection

    /// Scrolls so that the row shows at the position (None: as little as needed). Throws std::out_of_range
    /// for a row that does not exist.
    void scrollToRow(const IndexPath& indexPath, TableViewScrollPosition position, bool animated);
    /// Whether the user can select rows (true unless set).
    bool allowsSelection() const { return m_allowsSelection; }
    /// Lets the user select rows or not.
    void setAllowsSelection(bool allows) { m_allowsSelection = allows; }
    /// The selected row, or nothing.
    std::optional<IndexPath> indexPathForSelectedRow() const { return m_selected; }
    /// Selects a row in code (the delegate hears nothing), scrolling it to the position.
    void selectRow(const IndexPath& indexPath, bool animated, TableViewScrollPosition position);
    /// Deselects a row in code (the delegate hears nothing).
    void deselectRow(const IndexPath& indexPath, bool animated);
    /// A finger taps a visible row: when the table allows selection, the delegate's willSelectRow decides, a
    /// former selection is deselected (didDeselectRow) and the row selected (didSelectRow). Returns false
    /// when the row is not visible or the finger cannot reach it.
    bool tapRow(const IndexPath& indexPath);

    /// Reads the rows on first use and makes the cells of the visible rows.
    void layoutSubviews() override;
    /// Shows the cells of the rows that come into view as the content moves.
    void setBounds(const Rect& bounds) override;
    /// Sizes the rows to the new width.
    void setFrame(const Rect& frame) override;

    std::string describe() const override;

private:
    struct Section {
        int rows { 0 };
        std::vector<double> heights;
        std::vector<char> automatic;
        std::vector<char> measured;
        std::vector<double> offsets;
        std::shared_ptr<View> header;
        std::shared_ptr<View> footer;
        double headerHeight { 0 };
        double footerHeight { 0 };
        double top { 0 };
    };

    struct Registration {
        std::string nibName;
        CellFactory factory;
    };

    struct PendingUpdates {
        std::vector<IndexPath> inserts;
        std::vector<IndexPath> deletes;
        std::vector<IndexPath> reloads;
        TableViewRowAnimation animation { TableViewRowAnimation::None };
    };

    /// Puts `view` in the place of the header or footer view held in `slot`.
    void replaceEndView(std::shared_ptr<View>& slot, const std::shared_ptr<View>& view);
    void ensureLoaded();
    void readSections();
    void readHeights(Section& section, int index, const Section* former, const std::vector<int>* sourceRows);
    void layoutGeometry();
    void tile();
    bool tileOnce();
    std::shared_ptr<TableViewCell> makeCell(const IndexPath& indexPath);
    void enqueue(const std::shared_ptr<TableViewCell>& cell);
    void recycleAll();
    void applyUpdates(PendingUpdates updates);
    void checkRow(const IndexPath& indexPath, const char* what);
    double rowTop(const IndexPath& indexPath) const;

    TableViewStyle m_style { TableViewStyle::Plain };
    std::weak_ptr<TableViewDataSource> m_dataSource;
    std::weak_ptr<TableViewDelegate> m_tableDelegate;
    double m_rowHeight { defaultRowHeight };
    double m_estimatedRowHeight { 0 };
    std::shared_ptr<View> m_tableHeaderView;
    std::shared_ptr<View> m_tableFooterView;
    std::shared_ptr<View> m_backgroundView;
    TableViewCellSeparatorStyle m_separatorStyle { TableViewCellSeparatorStyle::SingleLine };
    Color m_separatorColor { Color::fromWhite(0.8) };
    EdgeInsets m_layoutMargins { 8, 16, 8, 16 };
    bool m_allowsSelection { true };

    bool m_loaded { false };
    bool m_geometryDirty { true };
    bool m_tiling { false };
    std::vector<Section> m_sections;
    std::map<IndexPath, std::shared_ptr<TableViewCell>> m_visible;
    std::map<std::string, std::vector<std::shared_ptr<TableViewCell>>> m_reusePool;
    std::map<std::string, Registration> m_registrations;
    std::optional<IndexPath> m_selected;
    int m_updateDepth { 0 };
    PendingUpdates m_pending;
};

}
