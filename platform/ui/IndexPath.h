#pragma once

#include <compare>
#include <string>

namespace platform::ui {

/// A row of a table: its section and its place in the section, both from 0. Index paths order by section,
/// then row.
struct IndexPath {
    int section { 0 };
    int row { 0 };

    /// The index path of `row` in `section`.
    static constexpr IndexPath forRow(int row, int section) { return { section, row }; }

    auto operator<=>(const IndexPath&) const = default;
};

/// "[section, row]".
std::string toString(const IndexPath& indexPath);

}
