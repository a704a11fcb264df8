# The release's version, from project(... VERSION ...), in the executables:
# zoetrix_version(<target> <description>) gives <target> the header
# zoetrix_version.h (ZOETRIX_VERSION, the version as text) and, on Windows,
# a version resource that the file's Properties show.
set(ZOETRIX_COPYRIGHT "Copyright (c) 2026 the zoetrix developers. All rights reserved.")

configure_file(${CMAKE_CURRENT_LIST_DIR}/zoetrix_version.h.in
               ${PROJECT_BINARY_DIR}/release/generated/zoetrix_version.h @ONLY)

function(zoetrix_version target description)
  target_include_directories(${target} PRIVATE ${PROJECT_BINARY_DIR}/release/generated)
  if(WIN32)
    set(ZOETRIX_FILE_NAME ${target}${CMAKE_EXECUTABLE_SUFFIX})
    set(ZOETRIX_DESCRIPTION "${description}")
    set(rc ${PROJECT_BINARY_DIR}/release/generated/${target}_version.rc)
    configure_file(${PROJECT_SOURCE_DIR}/release/version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
  endif()
endfunction()
