# Import libraries that load their DLL on the first call of one of its functions (delay loading),
# not when the program starts. The system's loader resolves a program's ordinary imports before
# any of its code runs, and so before the entry can confine library loads to the system's folder
# (RestrictLibraryLoads): the libraries named here, and what they load in turn, would otherwise be
# looked for in the program's folder first.
#
# yieldora_delay_library(<name> <function> <argument bytes> ...) makes the target
# yieldora_delay_<name>: the library <name>.dll with the functions listed, each with the bytes of
# its arguments (the 32-bit stdcall decoration).
function(yieldora_delay_library name)
    set(def ${CMAKE_BINARY_DIR}/delayload/${name}.def)
    set(lib ${CMAKE_BINARY_DIR}/delayload/lib${name}_delay.a)
    set(content "LIBRARY ${name}.dll\nEXPORTS\n")
    set(arguments ${ARGN})
    while(arguments)
        list(POP_FRONT arguments function bytes)
        if(CMAKE_SIZEOF_VOID_P EQUAL 4)
            string(APPEND content "${function}@${bytes}\n")
        else()
            string(APPEND content "${function}\n")
        endif()
    endwhile()
    file(CONFIGURE OUTPUT ${def} CONTENT "${content}")
    set(kill_at "")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(kill_at --kill-at)
    endif()
    add_custom_command(OUTPUT ${lib}
                       COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${name}.dll ${kill_at}
                               --output-delaylib ${lib}
                       DEPENDS ${def} VERBATIM)
    add_custom_target(yieldora_delay_${name}_lib DEPENDS ${lib})
    add_library(yieldora_delay_${name} INTERFACE)
    add_dependencies(yieldora_delay_${name} yieldora_delay_${name}_lib)
    target_link_libraries(yieldora_delay_${name} INTERFACE ${lib})
endfunction()

yieldora_delay_library(comctl32 ImageList_BeginDrag 16 ImageList_Create 20 ImageList_Destroy 4
                       ImageList_Draw 24 ImageList_DragEnter 12 ImageList_DragLeave 4
                       ImageList_DragMove 8 ImageList_EndDrag 0 ImageList_GetDragImage 8
                       ImageList_GetIconSize 12 ImageList_GetImageCount 4 ImageList_Remove 8
                       ImageList_ReplaceIcon 12)
yieldora_delay_library(comdlg32 CommDlgExtendedError 0 GetSaveFileNameW 4)
yieldora_delay_library(shell32 SHGetKnownFolderPath 16)
yieldora_delay_library(ole32 CoCreateInstance 20 CoInitializeEx 8 CoTaskMemFree 4 CoUninitialize 0
                       CreateStreamOnHGlobal 12 GetHGlobalFromStream 8)
