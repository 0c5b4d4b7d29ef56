# One static library per room. A room's library shows its own headers, as "<room>/<file>.h", to
# itself and to the rooms that name it in USES, and to no other room: an include that runs
# against the order of the rooms does not build.
#
# inkwisp_room(<room> [SOURCES <platform-free files>] [WIN32_SOURCES <Win32 files>]
#              [USES <rooms below>])
# The host build compiles only the platform-free files; a room without any is a header-only
# (interface) library there.
# GDI+ and msimg32 are not known DLLs: imported, they would be looked for beside the exe first.
# They are loaded from the system folder at run time (imaging/system_library.h).
set(INKWISP_WIN32_SYSTEM_LIBRARIES comdlg32 shell32 ole32 gdi32 user32 kernel32)

function(inkwisp_room room)
    cmake_parse_arguments(ROOM "" "" "SOURCES;WIN32_SOURCES;USES" ${ARGN})
    set(target inkwisp_${room})
    set(sources ${ROOM_SOURCES})
    if(WIN32)
        list(APPEND sources ${ROOM_WIN32_SOURCES})
    endif()
    list(TRANSFORM ROOM_USES PREPEND inkwisp_)
    if(sources)
        add_library(${target} STATIC ${sources})
        set(scope PUBLIC)
        target_link_libraries(${target} PRIVATE ${ROOM_USES})
    else()
        add_library(${target} INTERFACE)
        set(scope INTERFACE)
        target_link_libraries(${target} INTERFACE ${ROOM_USES})
    endif()
    if(WIN32)
        target_compile_definitions(${target} ${scope} ${INKWISP_WIN32_DEFINITIONS})
        target_link_libraries(${target} ${scope} ${INKWISP_WIN32_SYSTEM_LIBRARIES})
    endif()
    # The Win32 files take <windows.h> precompiled; the platform-free ones stay without it.
    if(WIN32 AND ROOM_WIN32_SOURCES)
        target_precompile_headers(${target} REUSE_FROM inkwisp_windows_pch)
        set_source_files_properties(${ROOM_SOURCES} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    endif()

    # The room's folder seen from a folder of its own, so that its include path holds no other
    # room. Where links cannot be made, the source root stands in, and the order goes unchecked.
    set(view ${CMAKE_BINARY_DIR}/rooms/${room})
    if(NOT IS_SYMLINK ${view}/${room})
        file(MAKE_DIRECTORY ${view})
        file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${view}/${room} RESULT failed SYMBOLIC)
        if(failed)
            set(view ${CMAKE_SOURCE_DIR})
        endif()
    endif()
    target_include_directories(${target} ${scope} ${view})
endfunction()
