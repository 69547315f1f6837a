# Sanitizer builds: -DVANTREO_SANITIZE=address (AddressSanitizer with
# UndefinedBehaviorSanitizer, stopping at the first undefined behaviour) or
# -DVANTREO_SANITIZE=thread (ThreadSanitizer). Every target below the
# including CMakeLists.txt is built with it: core, command-line tool, GUI,
# tests, benchmarks. scripts/sanitize.sh makes such a build and runs the tests.
set(VANTREO_SANITIZE "" CACHE STRING "Sanitizer build: empty, address or thread")
# The fuzzing build: everything instrumented for libFuzzer's coverage, with
# AddressSanitizer and UndefinedBehaviorSanitizer; the targets are in fuzz/.
option(VANTREO_FUZZ "Build the libFuzzer targets (needs clang++)" OFF)
if(VANTREO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VANTREO_FUZZ needs clang++ (-DCMAKE_CXX_COMPILER=clang++-14)")
  endif()
  if(NOT VANTREO_SANITIZE STREQUAL "")
    message(FATAL_ERROR "VANTREO_FUZZ brings its own sanitizers; leave VANTREO_SANITIZE empty")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                      -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

set_property(CACHE VANTREO_SANITIZE PROPERTY STRINGS "" address thread)

if(VANTREO_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(VANTREO_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
  # Qt's locks live in an uninstrumented library, so ThreadSanitizer would not
  # see them order anything. Every call of ours into them is routed through
  # tsanqtsync.cpp, which tells ThreadSanitizer what the call orders.
  set(_vantreo_wrapped
    _ZN6QMutex4lockEv _ZN6QMutex6unlockEv _ZN6QMutex7tryLockEi
    _ZN10QSemaphore7acquireEi _ZN10QSemaphore7releaseEi
    _ZN10QSemaphore10tryAcquireEi _ZN10QSemaphore10tryAcquireEii
    _ZN14QReadWriteLock11lockForReadEv _ZN14QReadWriteLock12lockForWriteEv
    _ZN14QReadWriteLock14tryLockForReadEv _ZN14QReadWriteLock14tryLockForReadEi
    _ZN14QReadWriteLock15tryLockForWriteEv _ZN14QReadWriteLock15tryLockForWriteEi
    _ZN14QReadWriteLock6unlockEv
    _ZN14QWaitCondition4waitEP6QMutex14QDeadlineTimer _ZN14QWaitCondition4waitEP6QMutexm
    _ZN14QWaitCondition7wakeOneEv _ZN14QWaitCondition7wakeAllEv
    _ZN7QThread5startENS_8PriorityE _ZN7QThread4waitE14QDeadlineTimer _ZN7QThread4waitEm)
  foreach(symbol IN LISTS _vantreo_wrapped)
    add_link_options(-Wl,--wrap=${symbol})
  endforeach()
  # tsanqtonly.cpp drops the reports of races that ran no code of ours at all.
  add_library(vantreo_tsan_qt OBJECT ${CMAKE_CURRENT_LIST_DIR}/tsanqtsync.cpp
              ${CMAKE_CURRENT_LIST_DIR}/tsanqtonly.cpp)
  target_link_libraries(vantreo_tsan_qt PRIVATE Qt5::Core)
  # Linked into every target made after this point.
  link_libraries(vantreo_tsan_qt)
elseif(NOT VANTREO_SANITIZE STREQUAL "")
  message(FATAL_ERROR "VANTREO_SANITIZE must be empty, address or thread")
endif()

# Run-time options for a test (called by vantreo_test, and for the scripts
# that run our programs): stop at the first report, and suppress only what
# the files in this folder list. Tests that start a GUI application record
# allocation stacks in full, so that the suppressions of Qt's platform plugin
# can match (the fast unwinder stops inside Qt's libraries; the full one is
# slow). Applied once the test's folder is read, when all its libraries are
# known.
function(vantreo_sanitize_test name)
  if(NOT VANTREO_SANITIZE STREQUAL "")
    # Deferred arguments are expanded when the call runs: pass the name as text.
    cmake_language(EVAL CODE "cmake_language(DEFER CALL _vantreo_sanitize_test_environment [[${name}]])")
  endif()
endfunction()

function(_vantreo_sanitize_test_environment name)
  set(dir ${CMAKE_SOURCE_DIR}/sanitizers)
  set(asan "detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1")
  # A test that is a script running our programs has no target of its name.
  set(libs "")
  if(TARGET ${name})
    get_target_property(libs ${name} LINK_LIBRARIES)
  endif()
  if(libs MATCHES "vantreo_gui|Qt5::Widgets|Qt5::Gui")
    set(asan "${asan}:fast_unwind_on_malloc=0")
  endif()
  set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
    "ASAN_OPTIONS=${asan}"
    "LSAN_OPTIONS=suppressions=${dir}/lsan.supp:print_suppressions=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    # The longest access history: a report between Qt's own threads keeps
    # the stacks its suppression (tsan.supp) is matched against.
    "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:history_size=7:suppressions=${dir}/tsan.supp:print_suppressions=0")
endfunction()
