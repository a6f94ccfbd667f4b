# Windows build (mingw-w64): the program, the Win32 seam tests, the test helper programs and the
# measuring programs.
set(WIN_DEFS UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
set(WIN_LIBS user32 gdi32 comctl32 shell32 advapi32 kernel32 uxtheme ole32 version)
add_link_options(-static -static-libgcc -static-libstdc++)
target_compile_definitions(corvanthelix_core PRIVATE ${WIN_DEFS})

# The Win32 edge, minus the entry point, as a library that tests and helpers link too.
file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
list(REMOVE_ITEM WIN32_SOURCES ${CMAKE_SOURCE_DIR}/src/platform/win32/WinMain.cpp)
add_library(corvanthelix_win32 STATIC ${WIN32_SOURCES})
target_link_libraries(corvanthelix_win32 PUBLIC corvanthelix_core ${WIN_LIBS})
target_compile_definitions(corvanthelix_win32 PUBLIC ${WIN_DEFS})
target_compile_options(corvanthelix_win32 PRIVATE ${CORV_WARNINGS})
# Session notices (unlock, reconnect), after which the keyboard hook is reinstalled.
target_link_libraries(corvanthelix_win32 PUBLIC wtsapi32)

file(GLOB RC_SOURCES CONFIGURE_DEPENDS src/platform/win32/res/*.rc)
add_executable(Corvanthelix WIN32 src/platform/win32/WinMain.cpp ${RC_SOURCES})
target_link_libraries(Corvanthelix PRIVATE corvanthelix_win32)
target_compile_options(Corvanthelix PRIVATE ${CORV_WARNINGS})

# GoogleTest from Debian's source package, built for Windows.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB WIN32_TEST_SOURCES CONFIGURE_DEPENDS tests/win32/*.cpp)
if(WIN32_TEST_SOURCES)
    add_executable(win32_tests ${WIN32_TEST_SOURCES})
    target_link_libraries(win32_tests PRIVATE corvanthelix_win32 gtest gmock gtest_main)
    target_compile_options(win32_tests PRIVATE ${CORV_WARNINGS})
    add_test(NAME win32_tests COMMAND win32_tests --gtest_brief=1)
    # A library named like the rich-edit library, which a test plants beside a copy of itself.
    add_library(PlantedRichEdit SHARED tests/win32/planted/PlantedRichEdit.cpp)
    set_target_properties(PlantedRichEdit PROPERTIES PREFIX "")
    target_include_directories(PlantedRichEdit PRIVATE src)
    add_dependencies(win32_tests PlantedRichEdit)
endif()

# Test helper programs, and the measuring programs of scripts/bench and scripts/measure-*
# (baselines and watchers): one program per source file, named after it.
file(GLOB HELPER_SOURCES CONFIGURE_DEPENDS tests/helpers/*.cpp bench/win32/*.cpp)
foreach(src ${HELPER_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE corvanthelix_win32)
    target_compile_options(${name} PRIVATE ${CORV_WARNINGS})
endforeach()

# The shipped language files go beside the program.
file(GLOB LANG_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/lang/*.lng)
set(LANG_OUTPUTS)
foreach(src ${LANG_FILES})
    get_filename_component(name ${src} NAME)
    set(out ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${name})
    add_custom_command(OUTPUT ${out} COMMAND ${CMAKE_COMMAND} -E copy ${src} ${out} DEPENDS ${src})
    list(APPEND LANG_OUTPUTS ${out})
endforeach()
add_custom_target(language_files ALL DEPENDS ${LANG_OUTPUTS})
