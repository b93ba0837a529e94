#include "platform/ui/TableView.h"

#include <algorithm>

namespace platform::ui {

TableView::TableView(Rect frame, TableViewStyle style)
    : ScrollView(frame)
    , m_style(style)
{
    setBackgroundColor(style == TableViewStyle::Plain ? Color::white() : Color::fromBytes(239, 239, 244));
}

void TableView::setDataSource(const std::weak_ptr<TableViewDataSource>& dataSource)
{
    m_dataSource = dataSource;
    if (m_loaded) {
        recycleAll();
        m_loaded = false;
        m_selected.reset();
        setNeedsLayout();
    }
}

void TableView::setDelegate(const std::weak_ptr<TableViewDelegate>& delegate)
{
    m_tableDelegate = delegate;
    ScrollView::setDelegate(delegate);
}

void TableView::setRowHeight(double height)
{
    m_rowHeight = height;
}

void TableView::ensureLoaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    readSections();
}

int TableView::numberOfSections()
{
    ensureLoaded();
    return int(m_sections.size());
}

int TableView::numberOfRows(int section)
{
    ensureLoaded();
    if (section < 0 || std::size_t(section) >= m_sections.size())
        return 0;
    return m_sections[std::size_t(section)].rows;
}

void TableView::reloadData()
{
    recycleAll();
    m_selected.reset();
    m_loaded = true;
    readSections();
    tile();
}

void TableView::setTableHeaderView(const std::shared_ptr<View>& view)
{
    replaceEndView(m_tableHeaderView, view);
}

void TableView::setTableFooterView(const std::shared_ptr<View>& view)
{
    replaceEndView(m_tableFooterView, view);
}

void TableView::replaceEndView(std::shared_ptr<View>& slot, const std::shared_ptr<View>& view)
{
    if (slot && slot->superview().get() == this)
        slot->removeFromSuperview();
    slot = view;
    if (view)
        addSubview(view);
    m_geometryDirty = true;
    if (m_loaded)
        tile();
}

void TableView::setBackgroundView(const std::shared_ptr<View>& view)
{
    if (m_backgroundView && m_backgroundView->superview().get() == this)
        m_backgroundView->removeFromSuperview();
    m_backgroundView = view;
    if (view) {
        view->setFrame(bounds());
        insertSubviewAt(view, 0);
    }
}

std::shared_ptr<TableViewCell> TableView::cellForRow(const IndexPath& indexPath)
{
    auto found = m_visible.find(indexPath);
    return found == m_visible.end() ? nullptr : found->second;
}

std::vector<std::shared_ptr<TableViewCell>> TableView::visibleCells()
{
    std::vector<std::shared_ptr<TableViewCell>> cells;
    for (auto& [indexPath, cell] : m_visible)
        cells.push_back(cell);
    return cells;
}

std::vector<IndexPath> TableView::indexPathsForVisibleRows()
{
    std::vector<IndexPath> indexPaths;
    for (auto& [indexPath, cell] : m_visible)
        indexPaths.push_back(indexPath);
    return indexPaths;
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell& cell) const
{
    for (auto& [indexPath, visible] : m_visible) {
        if (visible.get() == &cell)
            return indexPath;
    }
    return std::nullopt;
}

void TableView::checkRow(const IndexPath& indexPath, const char* what)
{
    ensureLoaded();
    bool exists = indexPath.section >= 0 && std::size_t(indexPath.section) < m_sections.size()
        && indexPath.row >= 0 && indexPath.row < m_sections[std::size_t(indexPath.section)].rows;
    if (!exists)
        throw std::out_of_range(std::string(what) + " invalid index path " + toString(indexPath));
}

Rect TableView::rectForRow(const IndexPath& indexPath)
{
    checkRow(indexPath, "attempt to measure");
    if (m_geometryDirty)
        layoutGeometry();
    auto& section = m_sections[std::size_t(indexPath.section)];
    return { 0, rowTop(indexPath), bounds().width(), section.heights[std::size_t(indexPath.row)] };
}

void TableView::scrollToRow(const IndexPath& indexPath, TableViewScrollPosition position, bool animated)
{
    checkRow(indexPath, "attempt to scroll to");
    Rect row = rectForRow(indexPath);
    double height = bounds().height();
    double y = contentOffset().y;
    switch (position) {
    case TableViewScrollPosition::Top:
        y = row.y();
        break;
    case TableViewScrollPosition::Middle:
        y = row.midY() - height / 2;
        break;
    case TableViewScrollPosition::Bottom:
        y = row.maxY() - height;
        break;
    case TableViewScrollPosition::None:
        if (row.y() < y)
            y = row.y();
        else if (row.maxY() > y + height)
            y = row.maxY() - height;
        break;
    }
    y = std::clamp(y, minimumContentOffset().y, maximumContentOffset().y);
    setContentOffset({ contentOffset().x, y }, animated);
}

void TableView::selectRow(const IndexPath& indexPath, bool animated, TableViewScrollPosition position)
{
    checkRow(indexPath, "attempt to select");
    if (m_selected && *m_selected != indexPath) {
        if (auto former = cellForRow(*m_selected))
            former->setSelected(false, animated);
    }
    m_selected = indexPath;
    if (auto cell = cellForRow(indexPath))
        cell->setSelected(true, animated);
    if (position != TableViewScrollPosition::None)
        scrollToRow(indexPath, position, animated);
}

void TableView::deselectRow(const IndexPath& indexPath, bool animated)
{
    if (m_selected != indexPath)
        return;
    m_selected.reset();
    if (auto cell = cellForRow(indexPath))
        cell->setSelected(false, animated);
}

bool TableView::tapRow(const IndexPath& indexPath)
{
    auto cell = cellForRow(indexPath);
    if (!cell || !cell->isVisible() || !isUserInteractionEnabled())
        return false;
    auto hit = cell->rootView().hitTest(cell->convertPointTo(cell->bounds().center(), nullptr));
    if (!hit || !hit->isDescendantOf(*cell))
        return false;
    if (!m_allowsSelection)
        return true;
    auto self = shared_from_this();
    auto listener = delegate();
    std::optional<IndexPath> target = listener ? listener->willSelectRow(*this, indexPath) : indexPath;
    if (!target)
        return true;
    if (m_selected && *m_selected != *target) {
        IndexPath former = *m_selected;
        deselectRow(former, false);
        if (listener)
            listener->didDeselectRow(*this, former);
    }
    selectRow(*target, false, TableViewScrollPosition::None);
    if (listener)
        listener->didSelectRow(*this, *target);
    return true;
}

void TableView::layoutSubviews()
{
    ensureLoaded();
    tile();
}

void TableView::setBounds(const Rect& bounds)
{
    bool resized = bounds.width() != this->bounds().width();
    ScrollView::setBounds(bounds);
    if (resized)
        m_geometryDirty = true;
    if (m_loaded)
        tile();
}

void TableView::setFrame(const Rect& frame)
{
    bool resized = frame.width() != bounds().width();
    ScrollView::setFrame(frame);
    if (resized)
        m_geometryDirty = true;
    if (m_loaded)
        tile();
}

std::string TableView::describe() const
{
    std::string text = ScrollView::describe();
    if (m_loaded) {
        int rows = 0;
        for (auto& section : m_sections)
            rows += section.rows;
        text += " sections " + std::to_string(m_sections.size()) + " rows " + std::to_string(rows);
    }
    return text;
}

}
