# Shared build helpers for every folder of the project.

# Warnings are errors on our own code.
function(velnor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()

# A run-time loaded shared library of the program folder: "<stem>.so", no "lib" prefix.
function(velnor_plain_library target)
  add_library(${target} SHARED ${ARGN})
  set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".so"
                                             CXX_VISIBILITY_PRESET hidden
                                             C_VISIBILITY_PRESET hidden
                                             VISIBILITY_INLINES_HIDDEN ON)
  velnor_warnings(${target})
endfunction()

# A GoogleTest executable registered with CTest. Tests run with the program folder as
# their working directory's neighbour and the offscreen Qt platform.
function(velnor_gtest target)
  add_executable(${target} ${ARGN})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main)
  velnor_warnings(${target})
  target_compile_definitions(${target} PRIVATE
    VELNOR_PROGRAM_DIR="${VELNOR_PROGRAM_DIR}"
    VELNOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    VELNOR_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()
