#pragma once

#include "platform/ui/Constraint.h"
#include "platform/ui/View.h"

#include <cstddef>
#include <functional>
#include <queue>
#include <string>
#include <utility>
#include <vector>

namespace platform::ui {

/// The workings of LayoutEngine: the linear system of a view tree (LayoutSystem.cpp), its solution by
/// propagation (LayoutSolver.cpp) and by elimination where relations only hold together
/// (LayoutElimination.cpp). Nothing outside the engine uses it.
namespace layout {

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

/// Solves one layout pass. One solver serves every pass, so that its buffers keep their capacity from one
/// pass to the next.
class LayoutSolver {
public:
    /// Whether a pass is running (a layout hook that lays out another tree meanwhile needs a solver of its
    /// own).
    bool isBusy() const { return m_busy; }
    /// Lays out the tree of `root` (see LayoutEngine). Throws LayoutError.
    void run(View& root);

private:
    void reset(View& root);

    // The tree
    void collectViews();
    // An open-addressing table from view to index: no allocation per view.
    static std::size_t slotOf(const View* view, std::size_t mask);
    void buildIndex();
    int indexOf(const View* view) const;
    bool isWithin(int view, int ancestor) const { return view >= ancestor && view <= m_last[ancestor]; }
    int var(int view, Component component) const { return view * 4 + component; }

    // Building the relations
    void addTerm(int var, double coef);
    void addAttribute(int view, LayoutAttribute attribute, double factor);
    void beginRow() { m_rowStart = int(m_terms.size()); }
    void endRow(Row row);
    void addFixedRow(int view, int variable, double value, const char* what);
    void addOffsetRow(int view, int parent, Component component, double offset, const char* what);
    void buildRows();
    void addIntrinsicRows(int view, Component size, double value, LayoutAxis axis);
    int itemIndex(const Constraint& constraint, const View* item, int owner) const;
    void buildAdjacency();

    // Propagation
    double residual(const Row& row) const;
    bool holds(const Row& row) const;
    // A relation that no longer holds: fatal while solving required relations, otherwise the current step
    // is taken back (an optional relation that a forced elimination result breaks simply stays broken).
    void conflict(int row);
    void assign(int variable, double value);
    void solveRow(const Row& row);
    void propagate();
    // Runs one step (an optional relation adopted, an inequality settled) and takes it back when it breaks
    // something stronger. Returns whether the step stands.
    template<class Step> bool tryStep(int rank, Step step);

    // Elimination of what propagation cannot reach: relations that hold only together.
    // Returns whether it fixed any unknown.
    bool eliminate();
    bool eliminateGroup(std::vector<int> rows);

    // Phases
    void solveHard();
    void solveSoft();
    void check();
    void apply();

    // Messages
    std::string describeRow(int r) const;
    std::string unsatisfiableMessage(int r) const;

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

}
