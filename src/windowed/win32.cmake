# The windowed program on Windows, over the layer of src/shell/win32.cmake.
add_executable(racer_window WIN32
  win32_windowed_main.cpp
  win32_window_size.cpp
)
target_link_libraries(racer_window PRIVATE racer_win32)
target_link_options(racer_window PRIVATE -mwindows)
