# Warnings, optimisation and the sanitizer builds, for every target of the project.

add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  # The 65536-entry bit tables are filled at compile time; clang's default budget of
  # constant-evaluation steps stops short of them.
  add_compile_options(-fconstexpr-steps=16777216)
endif()
if(CMAKE_BUILD_TYPE STREQUAL "Release" OR CMAKE_BUILD_TYPE STREQUAL "RelWithDebInfo")
  add_compile_options(-O3 -march=x86-64-v2)
endif()

# VANTOR_SANITIZE=address  -> AddressSanitizer + UndefinedBehaviorSanitizer
# VANTOR_SANITIZE=thread   -> ThreadSanitizer
set(VANTOR_SANITIZE "" CACHE STRING "Sanitizer build: address or thread")
if(VANTOR_SANITIZE)
  add_compile_options(-O1 -g)
endif()
if(VANTOR_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
elseif(VANTOR_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# VANTOR_FUZZ=ON (clang only) instruments everything for libFuzzer and adds tests/fuzz.
option(VANTOR_FUZZ "Build the libFuzzer targets (clang)" OFF)
if(VANTOR_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

# Adds a GoogleTest executable and registers its tests with CTest.
function(vantor_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
                       PROPERTIES LABELS "${T_LABELS}")
endfunction()
