# Warnings, optimisation and the sanitizer builds, for every target of the project.

add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  # The 65536-entry bit tables are filled at compile time; clang's default budget of
  # constant-evaluation steps stops short of them.
  add_compile_options(-fconstexpr-steps=16777216)
endif()
# The engine's hot loops (the pattern masks four at a time, bit scans and shifts) gain
# from AVX2 and BMI2: Release builds for x86-64-v3 when the building machine runs it,
# else for x86-64-v2. VANTOR_MARCH overrides the choice (e.g. native).
set(VANTOR_MARCH "" CACHE STRING "Target processor of the Release build (-march value)")
if(CMAKE_BUILD_TYPE STREQUAL "Release" OR CMAKE_BUILD_TYPE STREQUAL "RelWithDebInfo")
  if(NOT VANTOR_MARCH)
    include(CheckCXXSourceRuns)
    set(CMAKE_REQUIRED_FLAGS -march=x86-64-v3)
    check_cxx_source_runs("int main() { __builtin_cpu_init(); return __builtin_cpu_supports(\"x86-64-v3\") ? 0 : 1; }"
                          VANTOR_HOST_RUNS_X86_64_V3)
    unset(CMAKE_REQUIRED_FLAGS)
    set(VANTOR_MARCH x86-64-v2)
    if(VANTOR_HOST_RUNS_X86_64_V3)
      set(VANTOR_MARCH x86-64-v3)
    endif()
  endif()
  add_compile_options(-O3 -march=${VANTOR_MARCH})
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
