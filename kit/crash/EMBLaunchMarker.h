#pragma once

#include <string>

namespace kit {

/// The empty file a launch keeps in the crash kit's structure directory from the start of crash reporting
/// until the main queue's first turn: a launch that finds it knows the launch before died early.
class EMBLaunchMarker {
public:
    /// The marker at `path`.
    explicit EMBLaunchMarker(std::string path)
        : m_path(std::move(path))
    {
    }

    const std::string& path() const { return m_path; }
    /// Whether the marker is there.
    bool exists() const;
    /// Creates the marker (emptying one that is there), mode 0644; false when it cannot be written.
    bool create() const;
    /// Removes the marker; true when it is gone.
    bool remove() const;

private:
    std::string m_path;
};

}
