# Every target links this to get the project's warning level: the set of
# cpp-best-practices' cmake_template (CompilerWarnings.cmake), GCC's extras included.
option(QUANDEL_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

set(QUANDEL_CLANG_WARNINGS
  -Wall
  -Wextra
  -Wshadow
  -Wnon-virtual-dtor
  -Wold-style-cast
  -Wcast-align
  -Wunused
  -Woverloaded-virtual
  -Wpedantic
  -Wconversion
  -Wsign-conversion
  -Wnull-dereference
  -Wdouble-promotion
  -Wformat=2
  -Wimplicit-fallthrough)
set(QUANDEL_GCC_WARNINGS
  ${QUANDEL_CLANG_WARNINGS}
  -Wmisleading-indentation
  -Wduplicated-cond
  -Wduplicated-branches
  -Wlogical-op
  -Wuseless-cast
  -Wsuggest-override)
if(QUANDEL_WARNINGS_AS_ERRORS)
  list(APPEND QUANDEL_CLANG_WARNINGS -Werror)
  list(APPEND QUANDEL_GCC_WARNINGS -Werror)
endif()

add_library(quandel_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  target_compile_options(quandel_warnings INTERFACE ${QUANDEL_CLANG_WARNINGS})
elseif(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(quandel_warnings INTERFACE ${QUANDEL_GCC_WARNINGS})
endif()
