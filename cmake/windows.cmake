# The Windows build: the real platform layer, the program and the tests that
# run under Wine. Everything links statically and imports only system DLLs.
enable_language(RC)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)

add_library(vsl_platform STATIC platform/Win32Platform.cpp)
target_link_libraries(vsl_platform PUBLIC vsl_logic shell32)

# How vsl.exe's own code is compiled. The program throws and catches nothing
# and runs one thread, so it needs no unwind tables, no exception machinery, no
# locks around static locals and no run-time type information; the runtime
# that goes with this is app/RuntimeSupport.cpp.
add_library(vsl_program_options INTERFACE)
target_compile_options(vsl_program_options INTERFACE
  -Os -fno-exceptions -fno-asynchronous-unwind-tables -fno-threadsafe-statics -fno-rtti
)

# vsl.exe's own copy of the logic and the platform layer, from the same
# sources and compiled as above; the test programs link the libraries, which
# keep exceptions for GoogleTest.
get_target_property(vsl_logic_sources vsl_logic SOURCES)
add_library(vsl_program_layers OBJECT ${vsl_logic_sources} platform/Win32Platform.cpp)
target_include_directories(vsl_program_layers PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vsl_program_layers PUBLIC vsl_program_options)

add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# How much longer than natively Wine takes on this machine (tools/wine-speed).
# A test that runs Wine has its time limit stretched by it, and where Wine is
# emulated it runs alone: side by side on two cores, emulated programs starve
# each other's windows past any sensible wait, and run no faster in all.
execute_process(COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-speed OUTPUT_VARIABLE vsl_wine_speed
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "^[0-9]+" VSL_WINE_SLOWNESS "${vsl_wine_speed}")
message(STATUS "Wine here: ${vsl_wine_speed}")

# Sets out to the properties of a test that runs Wine and natively ends well
# within nativeSeconds.
function(vsl_wine_test_properties out nativeSeconds)
  math(EXPR seconds "${nativeSeconds} * ${VSL_WINE_SLOWNESS}")
  set(properties TIMEOUT ${seconds})
  if(VSL_WINE_SLOWNESS GREATER 1)
    list(APPEND properties RUN_SERIAL TRUE)
  endif()
  set(${out} ${properties} PARENT_SCOPE)
endfunction()
# Most are GoogleTest cases, listed by running their driver under Wine, which
# takes longer than CTest's 5 s in a cold prefix.
vsl_wine_test_properties(VSL_WINE_TEST 120)
math(EXPR VSL_WINE_DISCOVERY_TIMEOUT "120 * ${VSL_WINE_SLOWNESS}")

# What the Windows tests share: files, waits with a limit, the recorder's
# records, the registry, started programs and their windows.
add_library(vsl_windows_test_support STATIC tests/support/WineTest.cpp)
target_include_directories(vsl_windows_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vsl_windows_test_support PUBLIC gtest shlwapi gdi32)

add_subdirectory(res)
add_subdirectory(app)
add_subdirectory(tests/wine)
add_subdirectory(tests/e2e)
add_subdirectory(tools/demo-game)
add_subdirectory(installer)
add_subdirectory(tests/browser)
