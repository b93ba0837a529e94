#include "platform/ui/TableView.h"

#include <algorithm>

namespace platform::ui {

namespace {

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

}
