#include "platform/ui/TableView.h"

#include "platform/ui/Animation.h"
#include "platform/ui/NibRegistry.h"

#include <algorithm>
#include <set>

namespace platform::ui {

namespace {

std::string number(std::size_t value)
{
    return std::to_string(value);
}

/// Clears a flag when the scope ends, also on an exception.
class FlagScope {
public:
    explicit FlagScope(bool& flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};

}

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

void TableView::readSections()
{
    for (auto& section : m_sections) {
        for (auto& view : { section.header, section.footer }) {
            if (view && view->superview().get() == this)
                view->removeFromSuperview();
        }
    }
    auto source = dataSource();
    auto listener = delegate();
    int count = source ? std::max(0, source->numberOfSections(*this)) : 0;
    m_sections.assign(std::size_t(count), {});
    for (int index = 0; index < count; ++index) {
        auto& section = m_sections[std::size_t(index)];
        section.rows = std::max(0, source->numberOfRows(*this, index));
        readHeights(section, index, nullptr, nullptr);
        if (listener) {
            section.header = listener->viewForHeader(*this, index);
            section.footer = listener->viewForFooter(*this, index);
        }
        auto headerHeight = listener ? listener->heightForHeader(*this, index) : std::nullopt;
        auto footerHeight = listener ? listener->heightForFooter(*this, index) : std::nullopt;
        section.headerHeight = headerHeight.value_or(section.header ? section.header->frame().height() : 0);
        section.footerHeight = footerHeight.value_or(section.footer ? section.footer->frame().height() : 0);
        for (auto& view : { section.header, section.footer }) {
            if (view)
                addSubview(view);
        }
    }
    m_geometryDirty = true;
}

void TableView::readHeights(
    Section& section, int index, const Section* former, const std::vector<int>* sourceRows)
{
    auto listener = delegate();
    auto rows = std::size_t(section.rows);
    section.heights.assign(rows, 0);
    section.automatic.assign(rows, 0);
    section.measured.assign(rows, 1);
    for (std::size_t row = 0; row < rows; ++row) {
        IndexPath indexPath { index, int(row) };
        double value = m_rowHeight;
        if (listener) {
            if (auto height = listener->heightForRow(*this, indexPath))
                value = *height;
        }
        if (value >= 0) {
            section.heights[row] = value;
            continue;
        }
        section.automatic[row] = 1;
        int source = sourceRows ? (*sourceRows)[row] : -1;
        if (former && source >= 0 && former->automatic[std::size_t(source)]
            && former->measured[std::size_t(source)]) {
            section.heights[row] = former->heights[std::size_t(source)];
            continue;
        }
        std::optional<double> estimate
            = listener ? listener->estimatedHeightForRow(*this, indexPath) : std::nullopt;
        section.heights[row]
            = estimate.value_or(m_estimatedRowHeight > 0 ? m_estimatedRowHeight : defaultRowHeight);
        section.measured[row] = 0;
    }
}

void TableView::layoutGeometry()
{
    double width = bounds().width();
    double y = 0;
    if (m_tableHeaderView) {
        double height = m_tableHeaderView->frame().height();
        m_tableHeaderView->setFrame({ 0, 0, width, height });
        y += height;
    }
    for (auto& section : m_sections) {
        section.top = y;
        if (section.header)
            section.header->setFrame({ 0, y, width, section.headerHeight });
        y += section.headerHeight;
        section.offsets.resize(std::size_t(section.rows) + 1);
        section.offsets[0] = 0;
        for (std::size_t row = 0; row < std::size_t(section.rows); ++row)
            section.offsets[row + 1] = section.offsets[row] + section.heights[row];
        y += section.offsets.back();
        if (section.footer)
            section.footer->setFrame({ 0, y, width, section.footerHeight });
        y += section.footerHeight;
    }
    if (m_tableFooterView) {
        double height = m_tableFooterView->frame().height();
        m_tableFooterView->setFrame({ 0, y, width, height });
        y += height;
    }
    setContentSize({ width, y });
    m_geometryDirty = false;
}

double TableView::rowTop(const IndexPath& indexPath) const
{
    auto& section = m_sections[std::size_t(indexPath.section)];
    return section.top + section.headerHeight + section.offsets[std::size_t(indexPath.row)];
}

void TableView::tile()
{
    if (m_tiling)
        return;
    FlagScope tiling(m_tiling);
    for (int pass = 0; pass < 4; ++pass) {
        if (!tileOnce())
            return;
    }
    layoutGeometry();
    tileOnce();
}

bool TableView::tileOnce()
{
    if (m_geometryDirty)
        layoutGeometry();
    Rect visible = bounds();
    if (m_backgroundView)
        m_backgroundView->setFrame(visible);

    std::vector<IndexPath> needed;
    if (visible.height() > 0) {
        for (std::size_t index = 0; index < m_sections.size(); ++index) {
            auto& section = m_sections[index];
            double rowsTop = section.top + section.headerHeight;
            if (rowsTop + section.offsets.back() <= visible.minY() || rowsTop >= visible.maxY())
                continue;
            auto first = std::upper_bound(
                section.offsets.begin() + 1, section.offsets.end(), visible.minY() - rowsTop);
            for (auto row = std::size_t(first - (section.offsets.begin() + 1));
                 row < std::size_t(section.rows) && rowsTop + section.offsets[row] < visible.maxY(); ++row)
                needed.push_back({ int(index), int(row) });
        }
    }

    for (auto it = m_visible.begin(); it != m_visible.end();) {
        if (!std::binary_search(needed.begin(), needed.end(), it->first)) {
            enqueue(it->second);
            it = m_visible.erase(it);
        } else {
            ++it;
        }
    }

    bool changed = false;
    auto listener = delegate();
    double width = visible.width();
    for (auto& indexPath : needed) {
        auto& section = m_sections[std::size_t(indexPath.section)];
        auto row = std::size_t(indexPath.row);
        auto found = m_visible.find(indexPath);
        bool fresh = found == m_visible.end();
        auto cell = fresh ? makeCell(indexPath) : found->second;
        if (fresh)
            m_visible.emplace(indexPath, cell);
        cell->setFrame({ 0, rowTop(indexPath), width, section.heights[row] });
        if (fresh) {
            if (cell->superview().get() != this)
                addSubview(cell);
            cell->setSelected(m_selected == indexPath);
            if (listener)
                listener->willDisplayCell(*this, *cell, indexPath);
        }
        if (section.automatic[row] && !section.measured[row]) {
            section.measured[row] = 1;
            double height = cell->sizeThatFits({ width, 0 }).height;
            if (height > 0 && height != section.heights[row]) {
                section.heights[row] = height;
                m_geometryDirty = true;
                changed = true;
            }
        }
    }
    return changed;
}

std::shared_ptr<TableViewCell> TableView::makeCell(const IndexPath& indexPath)
{
    auto source = dataSource();
    auto cell = source ? source->cellForRow(*this, indexPath) : nullptr;
    if (!cell) {
        throw std::logic_error(
            "the table view's data source must return a cell from cellForRow (it gave none for row "
            + toString(indexPath) + ")");
    }
    if (auto pool = m_reusePool.find(cell->reuseIdentifier()); pool != m_reusePool.end())
        std::erase(pool->second, cell);
    return cell;
}

void TableView::enqueue(const std::shared_ptr<TableViewCell>& cell)
{
    if (cell->superview().get() == this)
        cell->removeFromSuperview();
    if (!cell->reuseIdentifier().empty())
        m_reusePool[cell->reuseIdentifier()].push_back(cell);
}

void TableView::recycleAll()
{
    for (auto& [indexPath, cell] : m_visible)
        enqueue(cell);
    m_visible.clear();
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

void TableView::registerNib(const std::string& nibName, const std::string& reuseIdentifier)
{
    m_registrations[reuseIdentifier] = { nibName, nullptr };
}

void TableView::registerClass(const std::string& reuseIdentifier, CellFactory factory)
{
    m_registrations[reuseIdentifier] = { {}, std::move(factory) };
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCell(const std::string& reuseIdentifier)
{
    if (auto pool = m_reusePool.find(reuseIdentifier); pool != m_reusePool.end() && !pool->second.empty()) {
        auto cell = pool->second.back();
        pool->second.pop_back();
        cell->prepareForReuse();
        return cell;
    }
    auto registration = m_registrations.find(reuseIdentifier);
    if (registration == m_registrations.end())
        return nullptr;
    std::shared_ptr<TableViewCell> cell;
    if (registration->second.factory) {
        cell = registration->second.factory(reuseIdentifier);
    } else {
        auto views = NibRegistry::load(registration->second.nibName, nullptr);
        cell = std::dynamic_pointer_cast<TableViewCell>(views.front());
        if (!cell)
            throw NibError("the nib " + registration->second.nibName + " registered for the reuse identifier "
                + reuseIdentifier + " does not start with a table view cell");
    }
    if (!cell)
        throw std::logic_error(
            "the cell factory for the reuse identifier " + reuseIdentifier + " made no cell");
    cell->setReuseIdentifier(reuseIdentifier);
    return cell;
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCell(
    const std::string& reuseIdentifier, const IndexPath& indexPath)
{
    auto cell = dequeueReusableCell(reuseIdentifier);
    if (!cell)
        throw std::logic_error("unable to dequeue a cell with identifier " + reuseIdentifier + " for row "
            + toString(indexPath) + " - must register a nib or a class for the identifier");
    return cell;
}

std::size_t TableView::reusableCellCount() const
{
    std::size_t count = 0;
    for (auto& [identifier, cells] : m_reusePool)
        count += cells.size();
    return count;
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

void TableView::beginUpdates()
{
    if (m_updateDepth++ == 0) {
        ensureLoaded();
        m_pending = {};
    }
}

void TableView::endUpdates()
{
    if (m_updateDepth == 0)
        throw std::logic_error("endUpdates without a matching beginUpdates");
    if (--m_updateDepth > 0)
        return;
    auto updates = std::move(m_pending);
    m_pending = {};
    applyUpdates(std::move(updates));
}

void TableView::insertRows(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation)
{
    bool alone = m_updateDepth == 0;
    if (alone)
        beginUpdates();
    m_pending.inserts.insert(m_pending.inserts.end(), indexPaths.begin(), indexPaths.end());
    m_pending.animation = animation;
    if (alone)
        endUpdates();
}

void TableView::deleteRows(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation)
{
    bool alone = m_updateDepth == 0;
    if (alone)
        beginUpdates();
    m_pending.deletes.insert(m_pending.deletes.end(), indexPaths.begin(), indexPaths.end());
    m_pending.animation = animation;
    if (alone)
        endUpdates();
}

void TableView::reloadRows(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation)
{
    bool alone = m_updateDepth == 0;
    if (alone)
        beginUpdates();
    m_pending.reloads.insert(m_pending.reloads.end(), indexPaths.begin(), indexPaths.end());
    m_pending.animation = animation;
    if (alone)
        endUpdates();
}

void TableView::applyUpdates(PendingUpdates updates)
{
    auto source = dataSource();
    std::vector<int> before;
    for (auto& section : m_sections)
        before.push_back(section.rows);
    std::size_t count = before.size();
    auto sectionsAfter = std::size_t(source ? std::max(0, source->numberOfSections(*this)) : 0);
    if (sectionsAfter != count) {
        throw TableViewInconsistency(
            "Invalid update: invalid number of sections. The number of sections contained "
            "in the table view after the update ("
            + number(sectionsAfter)
            + ") must be equal to the number of sections contained in the table view before "
              "the update ("
            + number(count)
            + "), plus or minus the number of sections inserted or deleted (0 inserted, 0 deleted).");
    }
    std::vector<int> after;
    for (std::size_t index = 0; index < count; ++index)
        after.push_back(std::max(0, source->numberOfRows(*this, int(index))));

    auto checked = [&](const IndexPath& indexPath, bool afterUpdate, const std::string& verb) {
        const auto& rows = afterUpdate ? after : before;
        std::string row = "attempt to " + verb + " row " + std::to_string(indexPath.row)
            + (afterUpdate ? " into section " : " from section ") + std::to_string(indexPath.section);
        const char* when = afterUpdate ? " after the update" : " before the update";
        if (indexPath.section < 0 || std::size_t(indexPath.section) >= count)
            throw TableViewInconsistency(row + ", but there are only " + number(count) + " sections" + when);
        int available = rows[std::size_t(indexPath.section)];
        if (indexPath.row < 0 || indexPath.row >= available) {
            if (afterUpdate) {
                throw TableViewInconsistency(row + ", but there are only " + std::to_string(available)
                    + " rows in section " + std::to_string(indexPath.section) + when);
            }
            throw TableViewInconsistency(
                row + " which only contains " + std::to_string(available) + " rows" + when);
        }
    };
    std::vector<std::set<int>> deletes(count);
    std::vector<std::set<int>> inserts(count);
    std::vector<std::set<int>> reloads(count);
    for (auto& indexPath : updates.deletes) {
        checked(indexPath, false, "delete");
        deletes[std::size_t(indexPath.section)].insert(indexPath.row);
    }
    for (auto& indexPath : updates.reloads) {
        checked(indexPath, false, "reload");
        if (deletes[std::size_t(indexPath.section)].contains(indexPath.row))
            throw TableViewInconsistency(
                "attempt to delete and reload the same index path " + toString(indexPath));
        reloads[std::size_t(indexPath.section)].insert(indexPath.row);
    }
    for (auto& indexPath : updates.inserts) {
        checked(indexPath, true, "insert");
        inserts[std::size_t(indexPath.section)].insert(indexPath.row);
    }
    for (std::size_t index = 0; index < count; ++index) {
        auto expected = std::size_t(before[index]) + inserts[index].size() - deletes[index].size();
        if (std::size_t(after[index]) != expected) {
            throw TableViewInconsistency("Invalid update: invalid number of rows in section " + number(index)
                + ". The number of rows contained in an existing section after the update ("
                + std::to_string(after[index])
                + ") must be equal to the number of rows contained in that section before the update ("
                + std::to_string(before[index])
                + "), plus or minus the number of rows inserted or deleted from that section ("
                + number(inserts[index].size()) + " inserted, " + number(deletes[index].size())
                + " deleted) and plus or minus the number of rows moved into or out of that section (0 moved "
                  "in, "
                  "0 moved out).");
        }
    }

    std::vector<std::vector<int>> sources(count);
    std::vector<std::vector<int>> destinations(count);
    for (std::size_t index = 0; index < count; ++index) {
        std::vector<int> survivors;
        for (int row = 0; row < before[index]; ++row) {
            if (!deletes[index].contains(row))
                survivors.push_back(row);
        }
        destinations[index].assign(std::size_t(before[index]), -1);
        std::size_t next = 0;
        for (int row = 0; row < after[index]; ++row) {
            if (inserts[index].contains(row)) {
                sources[index].push_back(-1);
                continue;
            }
            int former = survivors[next++];
            destinations[index][std::size_t(former)] = row;
            sources[index].push_back(reloads[index].contains(former) ? -1 : former);
        }
    }

    std::map<IndexPath, std::shared_ptr<TableViewCell>> moved;
    for (auto& [indexPath, cell] : m_visible) {
        auto section = std::size_t(indexPath.section);
        int destination = destinations[section][std::size_t(indexPath.row)];
        if (destination < 0 || reloads[section].contains(indexPath.row))
            enqueue(cell);
        else
            moved.emplace(IndexPath { indexPath.section, destination }, cell);
    }
    m_visible = std::move(moved);
    if (m_selected) {
        int destination = destinations[std::size_t(m_selected->section)][std::size_t(m_selected->row)];
        if (destination < 0)
            m_selected.reset();
        else
            m_selected->row = destination;
    }

    auto former = std::move(m_sections);
    m_sections.assign(count, {});
    for (std::size_t index = 0; index < count; ++index) {
        auto& section = m_sections[index];
        section.header = former[index].header;
        section.footer = former[index].footer;
        section.headerHeight = former[index].headerHeight;
        section.footerHeight = former[index].footerHeight;
        section.rows = after[index];
        readHeights(section, int(index), &former[index], &sources[index]);
    }
    for (auto& [indexPath, cell] : m_visible) {
        auto& section = m_sections[std::size_t(indexPath.section)];
        if (section.automatic[std::size_t(indexPath.row)])
            section.measured[std::size_t(indexPath.row)] = 0;
    }
    m_geometryDirty = true;
    if (updates.animation != TableViewRowAnimation::None && window())
        Animation::animate(updateAnimationDuration, [&] { tile(); });
    else
        tile();
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
