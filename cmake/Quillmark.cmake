# Shared build settings: warnings (errors with QM_WERROR), sanitizers, the
# fuzzing instrumentation, and test helpers.

# Headers made from the build's settings, found by #include "Version.h".
set(QM_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${QM_GENERATED_DIR}/Version.h @ONLY)

# Where players send error reports: shown in the error window and opened by
# its buttons. Packagers set their own (package.sh does, at its top).
set(QM_SUPPORT_EMAIL "support@dorvane.example" CACHE STRING
  "E-mail address the error window offers for reports")
set(QM_SUPPORT_URL "https://quillmark.dorvane.example/support" CACHE STRING
  "Support web page the error window opens")
set(QM_SUPPORT_HOST "quillmark.dorvane.example" CACHE STRING
  "Host name the error window names for the support web page")
foreach(setting QM_SUPPORT_EMAIL QM_SUPPORT_URL QM_SUPPORT_HOST)
  # Each becomes a C string literal: refuse what would break or change it.
  if("${${setting}}" STREQUAL "" OR "${${setting}}" MATCHES "[\"\\\\]")
    message(FATAL_ERROR "${setting} must be set and hold no quote or backslash: '${${setting}}'")
  endif()
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/SupportConfig.h.in ${QM_GENERATED_DIR}/SupportConfig.h @ONLY)

add_library(qm_options INTERFACE)
target_compile_options(qm_options INTERFACE -Wall -Wextra -Wpedantic)
if(QM_WERROR)
  target_compile_options(qm_options INTERFACE -Werror)
endif()
target_include_directories(qm_options INTERFACE ${PROJECT_SOURCE_DIR}/src ${QM_GENERATED_DIR})
if(WIN32)
  # The wide (UTF-16) Win32 entry points, no min/max macros, Windows 10 API.
  target_compile_definitions(qm_options INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  # Reproducible: the same sources give the same .exe in any folder at any
  # time. Paths in the objects (__FILE__, debug info) are relative to the
  # source or build folder (the build folder's rule comes last so that it
  # wins when it lies inside the sources), the PE header carries no link
  # time, and archives no dates or owners.
  target_compile_options(qm_options INTERFACE
    $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>
    $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>)
  target_link_options(qm_options INTERFACE -Wl,--no-insert-timestamp)
  foreach(lang C CXX)
    set(CMAKE_${lang}_ARCHIVE_CREATE "<CMAKE_AR> qcD <TARGET> <LINK_FLAGS> <OBJECTS>")
    set(CMAKE_${lang}_ARCHIVE_APPEND "<CMAKE_AR> qD <TARGET> <LINK_FLAGS> <OBJECTS>")
    set(CMAKE_${lang}_ARCHIVE_FINISH "<CMAKE_RANLIB> -D <TARGET>")
  endforeach()
endif()
if(QM_SANITIZE)
  target_compile_options(qm_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(qm_options INTERFACE -fsanitize=address,undefined)
endif()
if(QM_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QM_FUZZ needs clang (use the fuzz preset)")
  endif()
  # Every library the fuzz targets link is built with the same
  # instrumentation; the targets add -fsanitize=fuzzer themselves.
  target_compile_options(qm_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(qm_options INTERFACE -fsanitize=address,undefined)
endif()

# qm_library(NAME SOURCES... [LIBS ...])
function(qm_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_link_libraries(${name} PUBLIC qm_options ${A_LIBS})
endfunction()

# qm_unoptimised(TARGET...): test code is compiled without optimisation,
# which halves its compile time, and in a debug build with line tables only,
# enough for the sanitizers' reports; the code under test keeps the build's
# flags.
function(qm_unoptimised)
  foreach(target ${ARGN})
    target_compile_options(${target} PRIVATE -O0 $<$<CONFIG:Debug>:-g1>)
  endforeach()
endfunction()

# qm_test(NAME SOURCES... [LIBS ...] [ARGS ...] [GUI])
# Natively every test case becomes a ctest case. Cross-built, each test
# executable is one ctest case run under Wine (one Wine start per program),
# with ARGS; its output names each case, so that a case that skips can be
# told by name. GUI tests hold the Wine prefix's lock so that they never see
# each other's windows.
function(qm_test name)
  cmake_parse_arguments(A "GUI" "" "SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  qm_unoptimised(${name})
  # Four test files to a compile: GoogleTest's headers and templates are then
  # parsed and instantiated once for the four, a quarter less compile time.
  # Names private to one test file must differ from its neighbours'.
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 4)
  target_link_libraries(${name} PRIVATE qm_options ${A_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} ${A_ARGS})
    set_tests_properties(${name} PROPERTIES LABELS wine TIMEOUT 300)
    if(A_GUI)
      set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wineprefix)
    endif()
  else()
    gtest_discover_tests(${name} TEST_PREFIX "${name}." DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)
  endif()
endfunction()

