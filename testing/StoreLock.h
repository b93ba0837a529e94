#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <string>

namespace testing {

/// Another program holding a store file, as the sqlite3 shell does after "BEGIN EXCLUSIVE": a second
/// SQLite connection that takes the file's lock at once and keeps it until release() or until it goes
/// away. Header-only; the test links SQLite (through the store library).
class StoreLock {
public:
    /// Opens `path` and runs `begin` ("BEGIN EXCLUSIVE" keeps readers out too, "BEGIN IMMEDIATE" only
    /// writers); isHeld() tells whether the lock was taken.
    explicit StoreLock(const std::filesystem::path& path, const std::string& begin = "BEGIN EXCLUSIVE")
    {
        if (sqlite3_open(path.c_str(), &m_database) == SQLITE_OK)
            m_held = run(begin.c_str());
    }
    ~StoreLock()
    {
        release();
        sqlite3_close(m_database);
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    bool isHeld() const { return m_held; }

    /// Ends the transaction without writing anything; the file is free again.
    void release()
    {
        if (m_held)
            run("ROLLBACK");
        m_held = false;
    }

private:
    bool run(const char* sql)
    {
        return sqlite3_exec(m_database, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    sqlite3* m_database { nullptr };
    bool m_held { false };
};

}
