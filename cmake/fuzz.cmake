# libFuzzer targets (clang): one program per fuzz/*.cpp, over the core and the in-memory fakes,
# all built with AddressSanitizer and UndefinedBehaviorSanitizer.
set(FUZZ_INSTRUMENT -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
target_compile_options(corvanthelix_core PRIVATE ${FUZZ_INSTRUMENT})

# The fakes are headers, built into each target.
add_library(corvanthelix_fakes INTERFACE)
target_include_directories(corvanthelix_fakes INTERFACE tests/fakes src)
target_link_libraries(corvanthelix_fakes INTERFACE corvanthelix_core)

file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS fuzz/*.cpp)
foreach(src ${FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE corvanthelix_fakes)
    target_compile_options(${name} PRIVATE ${CORV_WARNINGS} -fsanitize=fuzzer,address,undefined
        -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
endforeach()
