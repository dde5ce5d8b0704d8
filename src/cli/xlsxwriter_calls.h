#pragma once
// libxlsxwriter's functions, opened at the first call rather than at every start of
// quandel-cli (see lazy_library.h): the library brings a cryptography library of 4 MB along.
// Declared in the namespace of their callers, where they hide the header's.
#include <xlsxwriter.h>

#include "lazy_library.h"

namespace cli {

inline constinit support::TLazyLibrary kXlsxwriterLibrary{QUANDEL_XLSXWRITER_SONAME};

QUANDEL_LAZY_CALL(kXlsxwriterLibrary, format_set_bold);
QUANDEL_LAZY_CALL(kXlsxwriterLibrary, format_set_num_format);
QUANDEL_LAZY_CALL(kXlsxwriterLibrary, lxw_strerror);
QUANDEL_LAZY_CALL(kXlsxwriterLibrary, workbook_add_format);
QUANDEL_LAZY_CALL(kXlsxwriterLibrary, workbook_add_worksheet);
QUANDEL_LAZY_CALL(kXlsxwriterLibrary, workbook_close);
QUANDEL_LAZY_CALL(kXlsxwriterLibrary, workbook_new_opt);
QUANDEL_LAZY_CALL(kXlsxwriterLibrary, worksheet_autofilter);
QUANDEL_LAZY_CALL(kXlsxwriterLibrary, worksheet_freeze_panes);
QUANDEL_LAZY_CALL(kXlsxwriterLibrary, worksheet_set_column);
QUANDEL_LAZY_CALL(kXlsxwriterLibrary, worksheet_write_datetime);
QUANDEL_LAZY_CALL(kXlsxwriterLibrary, worksheet_write_number);
QUANDEL_LAZY_CALL(kXlsxwriterLibrary, worksheet_write_string);

}  // namespace cli
