// Owner of one SQLite connection: closing it is the type's job, never done
// by hand on each path.
#pragma once

#include <sqlite3.h>

#include "platform/common/UniqueC.h"

using SqliteConnection = veltrix::UniqueC<sqlite3, sqlite3_close>;
