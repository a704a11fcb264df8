# The path helpers. The string functions are plain C++ and build for Linux
# too, so the native tests cover them; the Windows build adds the calls that
# ask Windows for the program's directory and set the current directory.
add_library(paths STATIC ${CMAKE_CURRENT_LIST_DIR}/paths.cpp)
if(WIN32)
  target_sources(paths PRIVATE ${CMAKE_CURRENT_LIST_DIR}/paths_win32.cpp)
endif()
target_include_directories(paths PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_options(paths PRIVATE ${ZOETRIX_WARNINGS})
target_link_libraries(paths PUBLIC storage)
