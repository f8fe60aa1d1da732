// Holding table files alone, for work on whole files (upgrades, copies): no
// table of any process has the file open while the lock is held, and none
// can open it until it is released.
#pragma once

#include <QString>

namespace engine {

class TableFileLock {
public:
    // EngineError "La tabla ... está ocupada" when a table has the file open,
    // or naming the file when it cannot be opened.
    explicit TableFileLock(const QString& path);
    ~TableFileLock();
    TableFileLock(const TableFileLock&) = delete;
    TableFileLock& operator=(const TableFileLock&) = delete;

private:
    int m_fd = -1;
};

} // namespace engine
