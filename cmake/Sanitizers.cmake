# QV_SANITIZE=ON: everything (libraries, program, tests, benchmarks) is built with AddressSanitizer
# and UndefinedBehaviorSanitizer. Undefined behaviour halts the program like an address error, so
# a report fails its test instead of scrolling past. The tests run with the options below (set in
# CTest's own environment, so the smoke tests' programs get them too); options already set in the
# environment that runs ctest are kept.
set(QV_SANITIZER_FLAGS
    -fsanitize=address,undefined
    -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
add_compile_options(${QV_SANITIZER_FLAGS})
add_link_options(-fsanitize=address,undefined)

# Debug information for readable reports, without giving up the optimiser of the build type.
add_compile_options(-g)

set(QV_SANITIZER_TEST_ENV
    "ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:abort_on_error=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp:print_suppressions=0")

# CTest reads this file before it runs any test of the build tree; what it puts into the
# environment every test process inherits.
function(qv_write_sanitizer_test_env)
  set(_file "${PROJECT_BINARY_DIR}/sanitizer_test_env.cmake")
  set(_text "# Written by cmake/Sanitizers.cmake: the sanitizer options of the tests.\n")
  foreach(_assignment IN LISTS QV_SANITIZER_TEST_ENV)
    string(FIND "${_assignment}" "=" _eq)
    string(SUBSTRING "${_assignment}" 0 ${_eq} _name)
    math(EXPR _value_start "${_eq} + 1")
    string(SUBSTRING "${_assignment}" ${_value_start} -1 _value)
    string(APPEND _text "if(NOT DEFINED ENV{${_name}})\n  set(ENV{${_name}} \"${_value}\")\nendif()\n")
  endforeach()
  file(WRITE "${_file}" "${_text}")
  set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY TEST_INCLUDE_FILES "${_file}")
endfunction()
qv_write_sanitizer_test_env()
