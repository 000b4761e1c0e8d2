# Icons are kept as text pixel art (see tools/icontool.cpp) and turned into .ico files at build
# time by icontool, built with the host's compiler even when the preset cross-compiles.
find_program(YIELDORA_HOST_CXX NAMES c++ g++ REQUIRED)
set(YIELDORA_ICONTOOL ${CMAKE_BINARY_DIR}/tools/icontool)
add_custom_command(
    OUTPUT ${YIELDORA_ICONTOOL}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
    COMMAND ${YIELDORA_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -Werror
            ${CMAKE_SOURCE_DIR}/tools/icontool.cpp -o ${YIELDORA_ICONTOOL}
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/icontool.cpp
    COMMENT "Building icontool")
add_custom_target(icontool DEPENDS ${YIELDORA_ICONTOOL})

# yieldora_draw_icons(<out var> <pixel-art files>...): <name>.ico for every <name>.txt, drawn into
# the current binary folder, and drawn again when icontool changes; the list of .ico files goes to
# <out var>. Call once per folder.
function(yieldora_draw_icons out_var)
    set(outputs "")
    foreach(art IN LISTS ARGN)
        get_filename_component(name ${art} NAME_WE)
        get_filename_component(art ${art} ABSOLUTE)
        set(ico ${CMAKE_CURRENT_BINARY_DIR}/${name}.ico)
        add_custom_command(
            OUTPUT ${ico}
            COMMAND ${YIELDORA_ICONTOOL} ${art} ${ico}
            DEPENDS icontool ${YIELDORA_ICONTOOL} ${art}
            COMMENT "Drawing ${name}.ico")
        list(APPEND outputs ${ico})
    endforeach()
    set(${out_var} ${outputs} PARENT_SCOPE)
endfunction()

# yieldora_rc_uses_icons(<rc file> <ico files>...): the resource script is compiled after the icons
# are drawn and finds them by file name.
function(yieldora_rc_uses_icons rc_file)
    set_property(SOURCE ${rc_file} APPEND PROPERTY OBJECT_DEPENDS ${ARGN})
    set_property(SOURCE ${rc_file} APPEND PROPERTY INCLUDE_DIRECTORIES ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
