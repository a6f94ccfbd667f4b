# Native (Linux) build: the core's unit tests, fakes and benchmarks.
find_package(GTest REQUIRED)
find_package(benchmark QUIET)

# The fakes are headers: one per seam.
add_library(corvanthelix_fakes INTERFACE)
target_include_directories(corvanthelix_fakes INTERFACE tests/fakes src)
target_link_libraries(corvanthelix_fakes INTERFACE corvanthelix_core)

file(GLOB UNIT_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_SOURCES})
target_link_libraries(unit_tests PRIVATE corvanthelix_fakes GTest::gtest GTest::gmock GTest::gtest_main)
target_compile_options(unit_tests PRIVATE ${CORV_WARNINGS})
target_compile_definitions(unit_tests PRIVATE CORV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_test(NAME unit_tests COMMAND unit_tests --gtest_brief=1)

file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS bench/*.cpp)
if(benchmark_FOUND AND BENCH_SOURCES)
    add_executable(corvanthelix_bench ${BENCH_SOURCES})
    target_link_libraries(corvanthelix_bench PRIVATE corvanthelix_fakes benchmark::benchmark benchmark::benchmark_main)
    target_compile_options(corvanthelix_bench PRIVATE ${CORV_WARNINGS})
    target_compile_definitions(corvanthelix_bench PRIVATE CORV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
