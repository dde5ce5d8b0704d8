# Every target links this to get the project's warning level.
add_library(quandel_warnings INTERFACE)
target_compile_options(quandel_warnings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic>)
