#pragma once
// libxlsxwriter's functions, opened at the first call rather than at every start of
// quandel-cli (see lazy_library.h): the library brings a cryptography library of 4 MB along.
// Declared in the namespace of their callers, where they hide the header's.
#include <xlsxwriter.h>

#include "lazy_library.h"

namespace cli {

inline constinit support::TLazyLibrary kXlsxwriterLibrary{QUANDEL_XLSXWRITER_SONAME};

#define QUANDEL_XLSXWRITER_CALL(name) \
  inline constinit support::TLazyFunction<decltype(::name)> name { kXlsxwriterLibrary, #name }
QUANDEL_XLSXWRITER_CALL(format_set_bold);
QUANDEL_XLSXWRITER_CALL(format_set_num_format);
QUANDEL_XLSXWRITER_CALL(lxw_strerror);
QUANDEL_XLSXWRITER_CALL(workbook_add_format);
QUANDEL_XLSXWRITER_CALL(workbook_add_worksheet);
QUANDEL_XLSXWRITER_CALL(workbook_close);
QUANDEL_XLSXWRITER_CALL(workbook_new_opt);
QUANDEL_XLSXWRITER_CALL(worksheet_autofilter);
QUANDEL_XLSXWRITER_CALL(worksheet_freeze_panes);
QUANDEL_XLSXWRITER_CALL(worksheet_set_column);
QUANDEL_XLSXWRITER_CALL(worksheet_write_datetime);
QUANDEL_XLSXWRITER_CALL(worksheet_write_number);
QUANDEL_XLSXWRITER_CALL(worksheet_write_string);
#undef QUANDEL_XLSXWRITER_CALL

}  // namespace cli
