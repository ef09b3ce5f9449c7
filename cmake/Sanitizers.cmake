# AddressSanitizer and UndefinedBehaviorSanitizer for every target of the
# build (KELVANE_SANITIZE). Clang only: the fuzz targets need it too, so one
# sanitizer build serves both.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "KELVANE_SANITIZE needs clang (configure with -DCMAKE_CXX_COMPILER=clang++-14)")
endif()

# Any report ends the program, so no finding can scroll past in a passing run.
add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
# The shared runtime: Lumora is a shared library linked with --no-undefined,
# and the project's own engine plug-ins are loaded into the tests with
# dlopen; both resolve the runtime's symbols from its one shared copy.
add_link_options(-fsanitize=address,undefined -shared-libasan)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} --print-runtime-dir
  OUTPUT_VARIABLE KELVANE_SANITIZER_RUNTIME_DIR OUTPUT_STRIP_TRAILING_WHITESPACE)
add_link_options(-Wl,-rpath,${KELVANE_SANITIZER_RUNTIME_DIR})

# Every target made after this links the driver pin (see its source).
add_library(kelvane_sanitizer_hooks SHARED ${CMAKE_CURRENT_LIST_DIR}/sanitizer/KeepMesaDriverLoaded.cpp)
target_link_libraries(kelvane_sanitizer_hooks PRIVATE ${CMAKE_DL_LIBS})
# The pin has no symbols a program calls, so it must stay a needed library.
link_libraries(-Wl,--push-state,--no-as-needed kelvane_sanitizer_hooks -Wl,--pop-state)

# Reports go to the sanitizers' own options; the test runner and the fuzz
# runs pass the same files (scripts/sanitize.sh, scripts/fuzz.sh).
set(KELVANE_SANITIZER_ENVIRONMENT
  "ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1"
  "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/scripts/sanitizers/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=${CMAKE_SOURCE_DIR}/scripts/sanitizers/ubsan.supp")

