#include "platform/ui/LayoutSolver.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

namespace platform::ui::layout {

void LayoutSolver::reset(View& root)
{
    m_root = &root;
    m_views.clear();
    m_parent.clear();
    m_last.clear();
    m_anyConstraint = false;
    m_terms.clear();
    m_rows.clear();
    m_queue.clear();
    m_log.clear();
    m_settle = {};
    m_currentRank = kHardRank;
    m_conflict = false;
}

void LayoutSolver::collectViews()
{
    m_stack.assign(1, { m_root, -1 });
    while (!m_stack.empty()) {
        auto [view, parent] = m_stack.back();
        m_stack.pop_back();
        int index = int(m_views.size());
        m_views.push_back(view);
        m_parent.push_back(parent);
        if (!view->constraints().empty())
            m_anyConstraint = true;
        const auto& subviews = view->subviews();
        for (auto it = subviews.rbegin(); it != subviews.rend(); ++it)
            m_stack.push_back({ it->get(), index });
    }
    buildIndex();
    // Preorder: a view's subtree is the range from its index to m_last[index].
    m_last.resize(m_views.size());
    std::iota(m_last.begin(), m_last.end(), 0);
    for (int i = int(m_views.size()) - 1; i > 0; --i)
        m_last[m_parent[i]] = std::max(m_last[m_parent[i]], m_last[i]);
}

// An open-addressing table from view to index: no allocation per view.
std::size_t LayoutSolver::slotOf(const View* view, std::size_t mask)
{
    return std::size_t((reinterpret_cast<std::uintptr_t>(view) >> 4) * 0x9E3779B97F4A7C15ull) & mask;
}

void LayoutSolver::buildIndex()
{
    std::size_t size = 16;
    while (size < m_views.size() * 2)
        size *= 2;
    m_slots.assign(size, { nullptr, -1 });
    for (int i = 0; i < int(m_views.size()); ++i) {
        std::size_t slot = slotOf(m_views[i], size - 1);
        while (m_slots[slot].first)
            slot = (slot + 1) & (size - 1);
        m_slots[slot] = { m_views[i], i };
    }
}

int LayoutSolver::indexOf(const View* view) const
{
    std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = slotOf(view, mask); m_slots[slot].first; slot = (slot + 1) & mask) {
        if (m_slots[slot].first == view)
            return m_slots[slot].second;
    }
    return -1;
}

void LayoutSolver::addTerm(int var, double coef)
{
    for (int i = m_rowStart; i < int(m_terms.size()); ++i) {
        if (m_terms[i].var == var) {
            m_terms[i].coef += coef;
            return;
        }
    }
    m_terms.push_back({ var, coef });
}

void LayoutSolver::addAttribute(int view, LayoutAttribute attribute, double factor)
{
    bool horizontal = Constraint::isHorizontal(attribute);
    int position = var(view, horizontal ? X : Y);
    int size = var(view, horizontal ? W : H);
    switch (attribute) {
    case LayoutAttribute::Left:
    case LayoutAttribute::Leading:
    case LayoutAttribute::Top:
        addTerm(position, factor);
        break;
    case LayoutAttribute::Right:
    case LayoutAttribute::Trailing:
    case LayoutAttribute::Bottom:
        addTerm(position, factor);
        addTerm(size, factor);
        break;
    case LayoutAttribute::Width:
    case LayoutAttribute::Height:
        addTerm(size, factor);
        break;
    case LayoutAttribute::CenterX:
    case LayoutAttribute::CenterY:
        addTerm(position, factor);
        addTerm(size, factor / 2);
        break;
    case LayoutAttribute::NotAnAttribute:
        break;
    }
}

void LayoutSolver::endRow(Row row)
{
    auto kept = m_terms.begin() + m_rowStart;
    for (auto it = kept; it != m_terms.end(); ++it) {
        if (std::abs(it->coef) >= 1e-12)
            *kept++ = *it;
    }
    m_terms.erase(kept, m_terms.end());
    row.firstTerm = m_rowStart;
    row.termCount = int(m_terms.size()) - m_rowStart;
    row.unknown = row.termCount;
    m_rows.push_back(row);
}

void LayoutSolver::addFixedRow(int view, int variable, double value, const char* what)
{
    beginRow();
    addTerm(variable, 1);
    endRow({ .rhs = value, .view = view, .what = what });
}

void LayoutSolver::addOffsetRow(int view, int parent, Component component, double offset, const char* what)
{
    beginRow();
    addTerm(var(view, component), 1);
    addTerm(var(parent, component), -1);
    endRow({ .rhs = offset, .view = view, .what = what });
}

void LayoutSolver::buildRows()
{
    int count = int(m_views.size());
    m_solved.assign(count, false);
    for (int owner = 0; owner < count; ++owner) {
        for (const auto& constraint : m_views[owner]->constraints()) {
            auto first = constraint->firstItem();
            auto second = constraint->secondItem();
            if (!first || (constraint->hasSecondItem() && !second))
                continue;
            int a = itemIndex(*constraint, first.get(), owner);
            int b = second ? itemIndex(*constraint, second.get(), owner) : -1;
            m_solved[a] = true;
            if (b >= 0)
                m_solved[b] = true;
            beginRow();
            addAttribute(a, constraint->firstAttribute(), 1);
            if (b >= 0)
                addAttribute(b, constraint->secondAttribute(), -constraint->multiplier());
            endRow({ .rhs = constraint->constant(),
                .relation = constraint->relation(),
                .priority = constraint->priority(),
                .constraint = constraint.get() });
        }
    }
    for (int i = 0; i < count; ++i) {
        View& view = *m_views[i];
        m_solved[i] = m_solved[i] && i != 0 && !view.translatesAutoresizingMaskIntoConstraints();
        Rect frame = view.frame();
        if (i == 0) {
            addFixedRow(i, var(i, X), frame.x(), "frame");
            addFixedRow(i, var(i, Y), frame.y(), "frame");
        } else if (!m_solved[i]) {
            addOffsetRow(i, m_parent[i], X, frame.x(), "frame");
            addOffsetRow(i, m_parent[i], Y, frame.y(), "frame");
        }
        if (!m_solved[i]) {
            addFixedRow(i, var(i, W), frame.width(), "frame");
            addFixedRow(i, var(i, H), frame.height(), "frame");
            continue;
        }
        Size intrinsic = view.intrinsicContentSize();
        addIntrinsicRows(i, W, intrinsic.width, LayoutAxis::Horizontal);
        addIntrinsicRows(i, H, intrinsic.height, LayoutAxis::Vertical);
    }
}

void LayoutSolver::addIntrinsicRows(int view, Component size, double value, LayoutAxis axis)
{
    if (value < 0)
        return;
    const View& v = *m_views[view];
    beginRow();
    addTerm(var(view, size), 1);
    endRow({ .rhs = value,
        .relation = LayoutRelation::GreaterThanOrEqual,
        .priority = v.contentCompressionResistancePriority(axis),
        .view = view,
        .what = "intrinsic size (compression resistance)" });
    beginRow();
    addTerm(var(view, size), 1);
    endRow({ .rhs = value,
        .relation = LayoutRelation::LessThanOrEqual,
        .priority = v.contentHuggingPriority(axis),
        .view = view,
        .what = "intrinsic size (hugging)" });
}

int LayoutSolver::itemIndex(const Constraint& constraint, const View* item, int owner) const
{
    int index = indexOf(item);
    if (index < 0 || !isWithin(index, owner))
        throw LayoutError("Invalid constraint " + constraint.description() + ": it is held by "
            + Constraint::describeView(m_views[owner]) + ", but " + Constraint::describeView(item)
            + " is neither that view nor one of its descendants");
    return index;
}

void LayoutSolver::buildAdjacency()
{
    int varCount = int(m_views.size()) * 4;
    m_value.assign(varCount, 0);
    m_known.assign(varCount, false);
    m_adjacencyStart.assign(varCount + 1, 0);
    for (const auto& term : m_terms)
        ++m_adjacencyStart[term.var + 1];
    std::partial_sum(m_adjacencyStart.begin(), m_adjacencyStart.end(), m_adjacencyStart.begin());
    m_adjacency.resize(m_terms.size());
    m_fill.assign(m_adjacencyStart.begin(), m_adjacencyStart.end() - 1);
    for (int r = 0; r < int(m_rows.size()); ++r) {
        const Row& row = m_rows[r];
        for (int t = row.firstTerm; t < row.firstTerm + row.termCount; ++t)
            m_adjacency[m_fill[m_terms[t].var]++] = r;
    }
}

std::string LayoutSolver::describeRow(int r) const
{
    const Row& row = m_rows[r];
    if (row.constraint)
        return row.constraint->description();
    return "the " + std::string(row.what) + " of " + Constraint::describeView(m_views[row.view]);
}

std::string LayoutSolver::unsatisfiableMessage(int r) const
{
    const Row& row = m_rows[r];
    std::vector<int> views;
    for (int t = row.firstTerm; t < row.firstTerm + row.termCount; ++t) {
        int view = m_terms[t].var / 4;
        if (std::find(views.begin(), views.end(), view) == views.end())
            views.push_back(view);
    }
    std::string message = "Unsatisfiable layout: " + describeRow(r)
        + " cannot hold together with the other required constraints of ";
    for (std::size_t i = 0; i < views.size(); ++i)
        message += (i ? ", " : "") + Constraint::describeView(m_views[views[i]]);
    for (int view : views) {
        if (view != 0 && !m_solved[view])
            message += "; " + Constraint::describeView(m_views[view])
                + " keeps its frame (it translates its autoresizing mask or no constraint places it)";
    }
    return message;
}

}
