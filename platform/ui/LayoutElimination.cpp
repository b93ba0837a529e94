#include "platform/ui/LayoutSolver.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace platform::ui::layout {

// Returns whether it fixed any unknown.
bool LayoutSolver::eliminate()
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

bool LayoutSolver::eliminateGroup(std::vector<int> rows)
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

}
