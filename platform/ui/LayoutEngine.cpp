#include "platform/ui/LayoutEngine.h"

#include "platform/ui/Constraint.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <queue>
#include <unordered_map>
#include <vector>

namespace platform::ui {

namespace {

// Each view has four unknowns, in layout space (the root's coordinates, ignoring bounds origins so that
// constraints to a scrolling view's edges follow its content): x and width, y and height.
enum Component { X = 0, W = 1, Y = 2, H = 3 };

constexpr int kHardRank = -1;
constexpr int kForcedRank = -2;

struct Term {
    int var;
    double coef;
};

// One linear relation: sum(coef * var) (relation) rhs.
struct Row {
    int firstTerm { 0 };
    int termCount { 0 };
    double rhs { 0 };
    LayoutRelation relation { LayoutRelation::Equal };
    float priority { LayoutPriority::required };
    const Constraint* constraint { nullptr };
    int view { -1 }; // the view whose frame or intrinsic size the row states, when it is not a constraint
    const char* what { "" };
    int unknown { 0 };
    int rank { kHardRank };
    bool active { false };
    bool pending { false };

    bool isEquality() const { return relation == LayoutRelation::Equal; }
    bool isHard() const { return isEquality() && priority >= LayoutPriority::required; }
};

// One solver serves every pass, so that its buffers keep their capacity from one pass to the next.
class Solver {
public:
    bool isBusy() const { return m_busy; }

    void run(View& root)
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

private:
    void reset(View& root)
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

    // The tree

    void collectViews()
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
    static std::size_t slotOf(const View* view, std::size_t mask)
    {
        return std::size_t((reinterpret_cast<std::uintptr_t>(view) >> 4) * 0x9E3779B97F4A7C15ull) & mask;
    }

    void buildIndex()
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

    int indexOf(const View* view) const
    {
        std::size_t mask = m_slots.size() - 1;
        for (std::size_t slot = slotOf(view, mask); m_slots[slot].first; slot = (slot + 1) & mask) {
            if (m_slots[slot].first == view)
                return m_slots[slot].second;
        }
        return -1;
    }

    bool isWithin(int view, int ancestor) const { return view >= ancestor && view <= m_last[ancestor]; }

    int var(int view, Component component) const { return view * 4 + component; }

    // Building the relations

    void addTerm(int var, double coef)
    {
        for (int i = m_rowStart; i < int(m_terms.size()); ++i) {
            if (m_terms[i].var == var) {
                m_terms[i].coef += coef;
                return;
            }
        }
        m_terms.push_back({ var, coef });
    }

    void addAttribute(int view, LayoutAttribute attribute, double factor)
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

    void beginRow() { m_rowStart = int(m_terms.size()); }

    void endRow(Row row)
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

    void addFixedRow(int view, int variable, double value, const char* what)
    {
        beginRow();
        addTerm(variable, 1);
        endRow({ .rhs = value, .view = view, .what = what });
    }

    void addOffsetRow(int view, int parent, Component component, double offset, const char* what)
    {
        beginRow();
        addTerm(var(view, component), 1);
        addTerm(var(parent, component), -1);
        endRow({ .rhs = offset, .view = view, .what = what });
    }

    void buildRows()
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

    void addIntrinsicRows(int view, Component size, double value, LayoutAxis axis)
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

    int itemIndex(const Constraint& constraint, const View* item, int owner) const
    {
        int index = indexOf(item);
        if (index < 0 || !isWithin(index, owner))
            throw LayoutError("Invalid constraint " + constraint.description() + ": it is held by "
                + Constraint::describeView(m_views[owner]) + ", but " + Constraint::describeView(item)
                + " is neither that view nor one of its descendants");
        return index;
    }

    void buildAdjacency()
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

    // Propagation

    double residual(const Row& row) const
    {
        double sum = 0;
        for (int t = row.firstTerm; t < row.firstTerm + row.termCount; ++t)
            sum += m_terms[t].coef * m_value[m_terms[t].var];
        return sum - row.rhs;
    }

    bool holds(const Row& row) const
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
    void conflict(int row)
    {
        if (m_currentRank == kHardRank || (m_currentRank == kForcedRank && m_rows[row].isHard()))
            throw LayoutError(unsatisfiableMessage(row));
        if (m_currentRank != kForcedRank)
            m_conflict = true;
    }

    void assign(int variable, double value)
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
            else if (row.unknown == 0 && (row.active || (row.pending && row.rank < m_currentRank))
                && !holds(row))
                conflict(r);
        }
    }

    void solveRow(const Row& row)
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

    void propagate()
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
    template<class Step> bool tryStep(int rank, Step step)
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

    // Elimination of what propagation cannot reach: relations that hold only together.

    // Returns whether it fixed any unknown.
    bool eliminate()
    {
        std::vector<int> rows;
        for (int r = 0; r < int(m_rows.size()); ++r) {
            if (m_rows[r].active && m_rows[r].unknown >= 2)
                rows.push_back(r);
        }
        if (rows.empty())
            return false;
        std::unordered_map<int, int> groupOf;
        std::vector<int> parent;
        auto find = [&](int g) {
            while (parent[g] != g)
                g = parent[g] = parent[parent[g]];
            return g;
        };
        std::vector<int> rowGroup;
        for (int r : rows) {
            int group = -1;
            const Row& row = m_rows[r];
            for (int t = row.firstTerm; t < row.firstTerm + row.termCount; ++t) {
                int v = m_terms[t].var;
                if (m_known[v])
                    continue;
                auto [it, inserted] = groupOf.emplace(v, int(parent.size()));
                if (inserted)
                    parent.push_back(it->second);
                int g = find(it->second);
                if (group < 0)
                    group = g;
                else if (g != group)
                    parent[g] = group;
            }
            rowGroup.push_back(group);
        }
        std::unordered_map<int, std::vector<int>> groups;
        for (std::size_t i = 0; i < rows.size(); ++i)
            groups[find(rowGroup[i])].push_back(rows[i]);
        bool fixed = false;
        for (auto& [group, groupRows] : groups)
            fixed = eliminateGroup(groupRows) || fixed;
        return fixed;
    }

    bool eliminateGroup(std::vector<int> rows)
    {
        while (!rows.empty()) {
            std::vector<int> vars;
            std::unordered_map<int, int> column;
            for (int r : rows) {
                const Row& row = m_rows[r];
                for (int t = row.firstTerm; t < row.firstTerm + row.termCount; ++t) {
                    int v = m_terms[t].var;
                    if (!m_known[v] && column.emplace(v, int(vars.size())).second)
                        vars.push_back(v);
                }
            }
            int width = int(vars.size());
            std::vector<std::vector<double>> matrix;
            for (int r : rows) {
                const Row& row = m_rows[r];
                std::vector<double> line(width + 1, 0);
                line[width] = row.rhs;
                for (int t = row.firstTerm; t < row.firstTerm + row.termCount; ++t) {
                    const Term& term = m_terms[t];
                    if (m_known[term.var])
                        line[width] -= term.coef * m_value[term.var];
                    else
                        line[column[term.var]] += term.coef;
                }
                matrix.push_back(std::move(line));
            }
            std::vector<int> pivotColumn;
            std::size_t pivotRow = 0;
            for (int c = 0; c < width && pivotRow < matrix.size(); ++c) {
                std::size_t best = pivotRow;
                for (std::size_t i = pivotRow; i < matrix.size(); ++i) {
                    if (std::abs(matrix[i][c]) > std::abs(matrix[best][c]))
                        best = i;
                }
                if (std::abs(matrix[best][c]) < 1e-9)
                    continue;
                std::swap(matrix[best], matrix[pivotRow]);
                std::swap(rows[best], rows[pivotRow]);
                auto& pivot = matrix[pivotRow];
                double scale = pivot[c];
                for (auto& x : pivot)
                    x /= scale;
                for (std::size_t i = 0; i < matrix.size(); ++i) {
                    if (i == pivotRow || std::abs(matrix[i][c]) < 1e-12)
                        continue;
                    double factor = matrix[i][c];
                    for (int k = c; k <= width; ++k)
                        matrix[i][k] -= factor * pivot[k];
                }
                pivotColumn.push_back(c);
                ++pivotRow;
            }
            int inconsistent = -1;
            for (std::size_t i = pivotRow; i < matrix.size(); ++i) {
                if (std::abs(matrix[i][width]) > 1e-6 * std::max(1.0, std::abs(m_rows[rows[i]].rhs)))
                    inconsistent = int(i);
            }
            if (inconsistent >= 0) {
                // Drop the weakest optional relation of the group and try again; required ones cannot give.
                auto weakest = std::max_element(
                    rows.begin(), rows.end(), [&](int a, int b) { return m_rows[a].rank < m_rows[b].rank; });
                if (m_rows[*weakest].isHard()) {
                    m_currentRank = kHardRank;
                    conflict(rows[inconsistent]);
                }
                m_rows[*weakest].active = false;
                rows.erase(weakest);
                continue;
            }
            m_currentRank = kForcedRank;
            bool fixed = false;
            for (std::size_t i = 0; i < pivotColumn.size(); ++i) {
                bool determined = true;
                for (int c = pivotColumn[i] + 1; c < width && determined; ++c)
                    determined = std::abs(matrix[i][c]) < 1e-9;
                if (determined && !m_known[vars[pivotColumn[i]]]) {
                    assign(vars[pivotColumn[i]], matrix[i][width]);
                    fixed = true;
                }
            }
            propagate();
            return fixed;
        }
        return false;
    }

    // Phases

    void solveHard()
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

    void solveSoft()
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

    void check()
    {
        std::vector<std::string> open;
        for (int i = 1; i < int(m_views.size()); ++i) {
            if (!m_solved[i])
                continue;
            static const char* const names[]
                = { "horizontal position", "width", "vertical position", "height" };
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
            if (!row.isEquality() && row.priority >= LayoutPriority::required && row.unknown == 0
                && !holds(row))
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

    void apply()
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

    // Messages

    std::string describeRow(int r) const
    {
        const Row& row = m_rows[r];
        if (row.constraint)
            return row.constraint->description();
        return "the " + std::string(row.what) + " of " + Constraint::describeView(m_views[row.view]);
    }

    std::string unsatisfiableMessage(int r) const
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

    View* m_root { nullptr };
    bool m_busy { false };
    std::vector<std::pair<View*, int>> m_stack;
    std::vector<std::pair<const View*, int>> m_slots;
    std::vector<View*> m_views;
    std::vector<int> m_parent;
    std::vector<int> m_last;
    std::vector<char> m_solved;
    bool m_anyConstraint { false };

    std::vector<Term> m_terms;
    std::vector<Row> m_rows;
    int m_rowStart { 0 };
    std::vector<int> m_adjacencyStart;
    std::vector<int> m_adjacency;
    std::vector<int> m_fill;

    std::vector<double> m_value;
    std::vector<char> m_known;
    std::vector<int> m_queue;
    std::vector<int> m_log;
    std::priority_queue<std::pair<int, int>, std::vector<std::pair<int, int>>, std::greater<>> m_settle;
    int m_currentRank { kHardRank };
    bool m_conflict { false };
};

}

void LayoutEngine::layoutTree(View& view)
{
    static Solver shared;
    if (!shared.isBusy()) {
        shared.run(view.rootView());
        return;
    }
    Solver nested;
    nested.run(view.rootView());
}

void LayoutEngine::viewWillLeaveSuperview(View& view, View& formerSuperview)
{
    for (auto ancestor = formerSuperview.shared_from_this(); ancestor; ancestor = ancestor->superview()) {
        std::vector<std::shared_ptr<Constraint>> dropped;
        for (const auto& constraint : ancestor->constraints()) {
            for (auto item : { constraint->firstItem(), constraint->secondItem() }) {
                if (item && item->isDescendantOf(view)) {
                    dropped.push_back(constraint);
                    break;
                }
            }
        }
        ancestor->removeConstraints(dropped);
    }
}

void LayoutEngine::install()
{
    auto& hooks = View::layoutHooks();
    if (!hooks.layout)
        hooks.layout = [](View& view) { layoutTree(view); };
    if (!hooks.viewWillLeaveSuperview)
        hooks.viewWillLeaveSuperview
            = [](View& view, View& formerSuperview) { viewWillLeaveSuperview(view, formerSuperview); };
}

}
