#pragma once

#include <memory>

namespace zorvik {

class FileStore;

/// The process-wide holder of the app's file store, through which the folder screen keeps its "tutorial"
/// file, the content screens make their logo store and log-out removes the "user" file.
class SDK {
public:
    /// The one SDK object, made on first use; lives for the process.
    static SDK& sdk();

    /// An SDK object with a file store of its own.
    SDK();

    /// The file store.
    const std::shared_ptr<FileStore>& fs() const { return m_fs; }

private:
    std::shared_ptr<FileStore> m_fs;
};

}
