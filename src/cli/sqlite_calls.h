#pragma once
// SQLite's functions, opened at the first call rather than at every start of quandel-cli (see
// lazy_library.h). Declared in the namespace of their callers, where they hide the header's.
#include <sqlite3.h>

#include "lazy_library.h"

namespace cli {

inline constinit support::TLazyLibrary kSqliteLibrary{QUANDEL_SQLITE_SONAME};

#define QUANDEL_SQLITE_CALL(name) \
  inline constinit support::TLazyFunction<decltype(::name)> name { kSqliteLibrary, #name }
QUANDEL_SQLITE_CALL(sqlite3_backup_finish);
QUANDEL_SQLITE_CALL(sqlite3_backup_init);
QUANDEL_SQLITE_CALL(sqlite3_backup_step);
QUANDEL_SQLITE_CALL(sqlite3_bind_int);
QUANDEL_SQLITE_CALL(sqlite3_bind_int64);
QUANDEL_SQLITE_CALL(sqlite3_bind_null);
QUANDEL_SQLITE_CALL(sqlite3_bind_text);
QUANDEL_SQLITE_CALL(sqlite3_close);
QUANDEL_SQLITE_CALL(sqlite3_column_bytes);
QUANDEL_SQLITE_CALL(sqlite3_column_int);
QUANDEL_SQLITE_CALL(sqlite3_column_int64);
QUANDEL_SQLITE_CALL(sqlite3_column_text);
QUANDEL_SQLITE_CALL(sqlite3_config);
QUANDEL_SQLITE_CALL(sqlite3_errcode);
QUANDEL_SQLITE_CALL(sqlite3_errmsg);
QUANDEL_SQLITE_CALL(sqlite3_exec);
QUANDEL_SQLITE_CALL(sqlite3_finalize);
QUANDEL_SQLITE_CALL(sqlite3_last_insert_rowid);
QUANDEL_SQLITE_CALL(sqlite3_open_v2);
QUANDEL_SQLITE_CALL(sqlite3_prepare_v2);
QUANDEL_SQLITE_CALL(sqlite3_prepare_v3);
QUANDEL_SQLITE_CALL(sqlite3_reset);
QUANDEL_SQLITE_CALL(sqlite3_step);
QUANDEL_SQLITE_CALL(sqlite3_system_errno);
#undef QUANDEL_SQLITE_CALL

}  // namespace cli
