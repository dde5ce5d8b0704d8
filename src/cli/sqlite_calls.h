#pragma once
// SQLite's functions, opened at the first call rather than at every start of quandel-cli (see
// lazy_library.h). Declared in the namespace of their callers, where they hide the header's.
#include <sqlite3.h>

#include "lazy_library.h"

namespace cli {

inline constinit support::TLazyLibrary kSqliteLibrary{QUANDEL_SQLITE_SONAME};

QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_backup_finish);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_backup_init);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_backup_step);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_bind_int);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_bind_int64);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_bind_null);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_bind_text);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_close);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_column_bytes);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_column_int);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_column_int64);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_column_text);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_config);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_errcode);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_errmsg);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_exec);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_finalize);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_last_insert_rowid);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_open_v2);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_prepare_v2);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_prepare_v3);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_reset);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_step);
QUANDEL_LAZY_CALL(kSqliteLibrary, sqlite3_system_errno);

}  // namespace cli
