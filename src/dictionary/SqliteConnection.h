// Owner of one SQLite connection: closing it is the type's job, never done
// by hand on each path.
#pragma once

#include <memory>

#include <sqlite3.h>

struct SqliteCloser {
    void operator()(sqlite3* connection) const { sqlite3_close(connection); }
};
using SqliteConnection = std::unique_ptr<sqlite3, SqliteCloser>;
