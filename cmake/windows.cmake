# The Windows build: the real platform layer, the program and the tests that
# run under Wine. Everything links statically and imports only system DLLs.
enable_language(RC)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)

add_library(vsl_platform STATIC platform/Win32Platform.cpp)
target_link_libraries(vsl_platform PUBLIC vsl_logic)

add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# What the Windows tests share: files, time-limited waits and the records
# that the stand-in programs leave.
add_library(vsl_windows_test_support STATIC tests/support/Files.cpp tests/support/LaunchRecord.cpp)
target_include_directories(vsl_windows_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

add_subdirectory(res)
add_subdirectory(app)
add_subdirectory(tests/wine)
add_subdirectory(tests/resources)
add_subdirectory(tests/e2e)
add_subdirectory(tools/demo-game)
add_subdirectory(installer)
