#include "platform/ui/TableView.h"

#include "platform/ui/Animation.h"

#include <algorithm>
#include <set>

namespace platform::ui {

namespace {

std::string number(std::size_t value)
{
    return std::to_string(value);
}

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

}
