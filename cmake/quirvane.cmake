# Build helpers shared by src/, tests/, bench/ and fuzz/.

# Warnings for our own targets.
function(qv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
endfunction()

if(QUIRVANE_FUZZ)
  # Everything that fuzzers link is instrumented for coverage and checked by sanitizers.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -g -O1)
  add_link_options(-fsanitize=address,undefined)
endif()

# One static library per core subsystem: src/<name>/**.cpp without ui/ (DIR names another folder,
# EXCLUDE drops sources matching a pattern).
# Each subsystem can be built and tested on its own while another is in progress.
function(qv_core_module name)
  cmake_parse_arguments(ARG "" "DIR" "DEPS;EXCLUDE" ${ARGN})
  if(NOT ARG_DIR)
    set(ARG_DIR ${name})
  endif()
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/src/${ARG_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/ui/")
  foreach(ex ${ARG_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "${ex}")
  endforeach()
  if(NOT sources)
    set(sources ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(qv_${name} STATIC ${sources})
  target_include_directories(qv_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/src)
  target_link_libraries(qv_${name} PUBLIC ${ARG_DEPS})
  qv_warnings(qv_${name})
endfunction()

# One GoogleTest program per core subsystem: tests/<name>/*.cpp.
function(qv_core_tests name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${name}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE qv_test_support ${ARG_DEPS} GTest::gtest GTest::gmock)
  qv_warnings(test_${name})
  add_test(NAME ${name} COMMAND test_${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600)
endfunction()
