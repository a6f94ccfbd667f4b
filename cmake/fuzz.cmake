# libFuzzer targets (clang): one program per fuzz/*.cpp, over the core and the in-memory fakes,
# all built with AddressSanitizer and UndefinedBehaviorSanitizer.
set(FUZZ_INSTRUMENT -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
target_compile_options(corvanthelix_core PRIVATE ${FUZZ_INSTRUMENT})

file(GLOB FAKE_SOURCES CONFIGURE_DEPENDS tests/fakes/*.cpp)
add_library(corvanthelix_fakes STATIC ${FAKE_SOURCES})
target_include_directories(corvanthelix_fakes PUBLIC tests/fakes src)
target_link_libraries(corvanthelix_fakes PUBLIC corvanthelix_core)
target_compile_definitions(corvanthelix_fakes PRIVATE CORV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# The fakes stand for the platform: sanitized, but not part of the coverage the fuzzer follows.
target_compile_options(corvanthelix_fakes PRIVATE ${CORV_WARNINGS} -fsanitize=address,undefined
    -fno-sanitize-recover=all -fno-omit-frame-pointer)

file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS fuzz/*.cpp)
foreach(src ${FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE corvanthelix_fakes)
    target_compile_options(${name} PRIVATE ${CORV_WARNINGS} -fsanitize=fuzzer,address,undefined
        -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
endforeach()
