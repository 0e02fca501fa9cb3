# SPDX-License-Identifier: GPL-3.0-or-later
# The sources as clang-format has them (the repository's .clang-format): the
# C++ and the page's scripts under src/, and the tests' C++. clang-format
# names each place that differs; ctest runs this as "format".
#
#   cmake -DCLANG_FORMAT=EXE -DROOT=DIR -P tests/check_format.cmake
if(NOT CLANG_FORMAT)
    message(FATAL_ERROR "format: no clang-format (Debian's clang-format package)")
endif()
file(GLOB_RECURSE sources LIST_DIRECTORIES false
    ${ROOT}/src/*.cpp ${ROOT}/src/*.h ${ROOT}/src/*.js ${ROOT}/tests/*.cpp ${ROOT}/tests/*.h)
list(SORT sources)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${sources} RESULT_VARIABLE status)
list(LENGTH sources count)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "format: not as clang-format has it; clang-format -i formats a file")
endif()
message(STATUS "format: ${count} files as clang-format has them")
