#include "platform/ui/LayoutSolver.h"

#include <algorithm>
#include <cmath>

namespace platform::ui::layout {

void LayoutSolver::run(View& root)
{
    struct Busy {
        bool& flag;
        explicit Busy(bool& f)
            : flag(f)
        {
            flag = true;
        }
        ~Busy() { flag = false; }
    } busy(m_busy);
    reset(root);
    collectViews();
    if (!m_anyConstraint)
        return;
    buildRows();
    buildAdjacency();
    solveHard();
    solveSoft();
    check();
    apply();
}

double LayoutSolver::residual(const Row& row) const
{
    double sum = 0;
    for (int t = row.firstTerm; t < row.firstTerm + row.termCount; ++t)
        sum += m_terms[t].coef * m_value[m_terms[t].var];
    return sum - row.rhs;
}

bool LayoutSolver::holds(const Row& row) const
{
    double difference = residual(row);
    double tolerance = 1e-6 * std::max(1.0, std::abs(row.rhs));
    switch (row.relation) {
    case LayoutRelation::Equal:
        return std::abs(difference) <= tolerance;
    case LayoutRelation::GreaterThanOrEqual:
        return difference >= -tolerance;
    case LayoutRelation::LessThanOrEqual:
        return difference <= tolerance;
    }
    return false;
}

// A relation that no longer holds: fatal while solving required relations, otherwise the current step
// is taken back (an optional relation that a forced elimination result breaks simply stays broken).
void LayoutSolver::conflict(int row)
{
    if (m_currentRank == kHardRank || (m_currentRank == kForcedRank && m_rows[row].isHard()))
        throw LayoutError(unsatisfiableMessage(row));
    if (m_currentRank != kForcedRank)
        m_conflict = true;
}

void LayoutSolver::assign(int variable, double value)
{
    m_known[variable] = true;
    m_value[variable] = value;
    m_log.push_back(variable);
    for (int i = m_adjacencyStart[variable]; i < m_adjacencyStart[variable + 1]; ++i) {
        int r = m_adjacency[i];
        Row& row = m_rows[r];
        --row.unknown;
        if (row.active && row.unknown == 1)
            m_queue.push_back(r);
        else if (row.pending && row.unknown == 1)
            m_settle.push({ row.rank, r });
        else if (row.unknown == 0 && (row.active || (row.pending && row.rank < m_currentRank)) && !holds(row))
            conflict(r);
    }
}

void LayoutSolver::solveRow(const Row& row)
{
    double rest = row.rhs;
    const Term* unknown = nullptr;
    for (int t = row.firstTerm; t < row.firstTerm + row.termCount; ++t) {
        if (m_known[m_terms[t].var])
            rest -= m_terms[t].coef * m_value[m_terms[t].var];
        else
            unknown = &m_terms[t];
    }
    assign(unknown->var, rest / unknown->coef);
}

void LayoutSolver::propagate()
{
    while (!m_queue.empty() && !m_conflict) {
        int r = m_queue.back();
        m_queue.pop_back();
        if (m_rows[r].unknown == 1)
            solveRow(m_rows[r]);
    }
    m_queue.clear();
}

// Runs one step (an optional relation adopted, an inequality settled) and takes it back when it breaks
// something stronger. Returns whether the step stands.
template<class Step> bool LayoutSolver::tryStep(int rank, Step step)
{
    m_currentRank = rank;
    m_conflict = false;
    m_log.clear();
    step();
    propagate();
    if (!m_conflict)
        return true;
    for (auto it = m_log.rbegin(); it != m_log.rend(); ++it) {
        m_known[*it] = false;
        for (int i = m_adjacencyStart[*it]; i < m_adjacencyStart[*it + 1]; ++i)
            ++m_rows[m_adjacency[i]].unknown;
    }
    m_conflict = false;
    return false;
}

void LayoutSolver::solveHard()
{
    m_currentRank = kHardRank;
    for (int r = 0; r < int(m_rows.size()); ++r) {
        Row& row = m_rows[r];
        if (!row.isHard())
            continue;
        row.active = true;
        if (row.termCount == 0 && !holds(row))
            conflict(r);
        if (row.unknown == 1)
            m_queue.push_back(r);
    }
    propagate();
    eliminate();
}

void LayoutSolver::solveSoft()
{
    std::vector<int> soft;
    for (int r = 0; r < int(m_rows.size()); ++r) {
        if (!m_rows[r].isHard())
            soft.push_back(r);
    }
    std::stable_sort(soft.begin(), soft.end(), [&](int a, int b) {
        const Row& x = m_rows[a];
        const Row& y = m_rows[b];
        if (x.priority != y.priority)
            return x.priority > y.priority;
        return !x.isEquality() && y.isEquality();
    });
    for (int i = 0; i < int(soft.size()); ++i)
        m_rows[soft[i]].rank = i;

    for (int r : soft) {
        Row& row = m_rows[r];
        if (row.isEquality()) {
            if (row.unknown == 0)
                continue;
            row.active = true;
            if (row.unknown == 1 && !tryStep(row.rank, [&] { m_queue.push_back(r); }))
                row.active = false;
        } else if (row.unknown == 0) {
            if (!holds(row) && row.priority >= LayoutPriority::required)
                throw LayoutError(unsatisfiableMessage(r));
        } else {
            row.pending = true;
        }
    }

    // Settle open inequalities on their bounds, strongest first, until nothing moves.
    for (int r : soft) {
        if (m_rows[r].pending && m_rows[r].unknown == 1)
            m_settle.push({ m_rows[r].rank, r });
    }
    do {
        while (!m_settle.empty()) {
            int r = m_settle.top().second;
            m_settle.pop();
            Row& row = m_rows[r];
            if (row.unknown == 1)
                tryStep(row.rank, [&] { solveRow(row); });
        }
    } while (eliminate());
}

void LayoutSolver::check()
{
    std::vector<std::string> open;
    for (int i = 1; i < int(m_views.size()); ++i) {
        if (!m_solved[i])
            continue;
        static const char* const names[] = { "horizontal position", "width", "vertical position", "height" };
        std::string missing;
        for (int c = 0; c < 4; ++c) {
            if (!m_known[var(i, Component(c))])
                missing += std::string(missing.empty() ? "" : ", ") + names[c];
        }
        if (!missing.empty())
            open.push_back(Constraint::describeView(m_views[i]) + " (" + missing + ")");
    }
    for (int r = 0; r < int(m_rows.size()); ++r) {
        const Row& row = m_rows[r];
        if (!row.isEquality() && row.priority >= LayoutPriority::required && row.unknown == 0 && !holds(row))
            throw LayoutError(unsatisfiableMessage(r));
    }
    if (open.empty())
        return;
    std::string message = "Ambiguous layout: the constraints do not fix ";
    for (std::size_t i = 0; i < open.size() && i < 5; ++i)
        message += (i ? "; " : "") + open[i];
    if (open.size() > 5)
        message += "; and " + std::to_string(open.size() - 5) + " more views";
    throw LayoutError(message);
}

void LayoutSolver::apply()
{
    auto snap = [](double value) { return std::round(value * 1e6) / 1e6; };
    for (int i = 1; i < int(m_views.size()); ++i) {
        if (!m_solved[i])
            continue;
        int p = m_parent[i];
        Rect frame { snap(m_value[var(i, X)] - m_value[var(p, X)]),
            snap(m_value[var(i, Y)] - m_value[var(p, Y)]), snap(m_value[var(i, W)]),
            snap(m_value[var(i, H)]) };
        if (frame != m_views[i]->frame())
            m_views[i]->setFrame(frame);
    }
}

}
