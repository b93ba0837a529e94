#pragma once

#include <filesystem>

namespace testing {

/// A fresh folder under the system's temporary directory, removed with its
/// contents when the object goes away. Tests use one as their Documents folder.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    /// The folder's absolute path.
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}
