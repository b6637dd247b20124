# The platform-free pieces of the shell: pacing, the window messages and the
# window procedures, the key-state tracker and the error report.
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

# The SDL layer both programs share: devices, input, events, timers.
find_package(SDL2 REQUIRED)
add_library(racer_sdl STATIC
  ${PROJECT_SOURCE_DIR}/src/shell/sdl_clock.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/sdl_input.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/sdl_events.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/sdl_startup.cpp
  ${PROJECT_SOURCE_DIR}/src/media/sdl_display.cpp
  ${PROJECT_SOURCE_DIR}/src/media/sdl_sound.cpp
)
target_link_libraries(racer_sdl PUBLIC racer_shell racer_core racer_soft SDL2::SDL2)

add_executable(racer ${PROJECT_SOURCE_DIR}/src/shell/fullscreen_main.cpp)
target_link_libraries(racer PRIVATE racer_sdl)
