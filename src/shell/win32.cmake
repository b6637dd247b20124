# The Windows platform layer (DirectDraw, GDI, DirectSound, the window
# messages) and the full-screen program; racer_window is in src/windowed.
# The platform-free pieces of the shell, as on Linux.
add_library(racer_shell STATIC
  ${PROJECT_SOURCE_DIR}/src/shell/pacing.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/window_messages.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/window_events.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/frame_loop.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/key_state.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/error_report.cpp
  ${PROJECT_SOURCE_DIR}/src/windowed/main_wnd_proc.cpp
)
target_link_libraries(racer_shell PUBLIC racer_core)

add_library(racer_win32 STATIC
  ${PROJECT_SOURCE_DIR}/src/shell/win32_clock.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/win32_input.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/win32_events.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/win32_startup.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/win32_text.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/win32_test_mode.cpp
  ${PROJECT_SOURCE_DIR}/src/media/win32_surface.cpp
  ${PROJECT_SOURCE_DIR}/src/media/win32_display.cpp
  ${PROJECT_SOURCE_DIR}/src/media/win32_sound.cpp
)
target_compile_definitions(racer_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
# Windows' own DLLs only: the C and C++ runtimes are linked in (-static),
# and the interface ids come from libdxguid.
target_link_libraries(racer_win32 PUBLIC racer_shell racer_core racer_script
  ddraw dsound winmm gdi32 user32 dxguid)
target_link_options(racer_win32 INTERFACE -static)

# WIN32: a GUI program (-mwindows), no console.
add_executable(racer WIN32 ${PROJECT_SOURCE_DIR}/src/shell/win32_fullscreen_main.cpp)
target_link_libraries(racer PRIVATE racer_win32)
target_link_options(racer PRIVATE -mwindows)

# Beside the programs, so that they start from build-win/bin as they are.
foreach(data config.txt map.txt)
  configure_file(${PROJECT_SOURCE_DIR}/data/${data} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${data} COPYONLY)
endforeach()
