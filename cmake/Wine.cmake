# Windows test executables run under Wine, in prefixes of their own inside the build tree.
find_program(WINE_PROGRAM wine REQUIRED)

# Sets `out` to the environment that runs Wine in `prefix`, quietly and without installers.
function(wine_environment out prefix)
    set(${out}
        WINEPREFIX=${prefix}
        WINEARCH=win64
        WINEDEBUG=-all
        "WINEDLLOVERRIDES=mscoree,mshtml="
        PARENT_SCOPE)
endfunction()

# Wine draws the caption buttons with the Marlett font, which a new prefix lacks: without it
# they show as letters in screenshots. It is a file of the build machine, not of the
# Windows target, so the toolchain's find root does not apply.
find_file(WINE_MARLETT_FONT marlett.ttf PATHS /usr/share/wine/fonts /usr/lib/wine/fonts
          NO_CACHE NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)

# Creates `prefix` once, with its screen at `dpi`, before any test can start Wine in it in
# parallel with another. The virtual display runs no window manager, so Wine is told to manage
# the windows itself: otherwise it waits two seconds for a window manager to answer each time
# a window closes.
function(add_wine_prefix target prefix dpi)
    wine_environment(environment ${prefix})
    set(fonts ${prefix}/drive_c/windows/Fonts)
    if(WINE_MARLETT_FONT)
        set(copy_marlett
            COMMAND ${CMAKE_COMMAND} -E make_directory ${fonts}
            COMMAND ${CMAKE_COMMAND} -E copy ${WINE_MARLETT_FONT} ${fonts}/marlett.ttf)
    endif()
    add_custom_command(
        OUTPUT ${prefix}/created.stamp
        COMMAND env ${environment} ${WINE_PROGRAM} wineboot --init
        COMMAND env ${environment} ${WINE_PROGRAM} reg add "HKCU\\Control Panel\\Desktop"
                /v LogPixels /t REG_DWORD /d ${dpi} /f
        COMMAND env ${environment} ${WINE_PROGRAM} reg add "HKCU\\Software\\Wine\\X11 Driver"
                /v Managed /t REG_SZ /d N /f
        COMMAND env ${environment} wineserver --wait
        ${copy_marlett}
        COMMAND ${CMAKE_COMMAND} -E touch ${prefix}/created.stamp
        COMMENT "Creating the Wine prefix ${prefix} at ${dpi} DPI"
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${prefix}/created.stamp)
endfunction()

wine_environment(WINE_ENVIRONMENT ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR env ${WINE_ENVIRONMENT} ${WINE_PROGRAM})
# Only a build that runs programs needs a prefix; a release build needs none.
if(BUILD_TESTING OR VELMORA_BENCHMARKS)
    add_wine_prefix(wineprefix ${CMAKE_BINARY_DIR}/wineprefix 96)
endif()

# A second prefix whose screen runs at 150 %, for the window's scaling.
if(BUILD_TESTING)
    wine_environment(WINE_ENVIRONMENT_144DPI ${CMAKE_BINARY_DIR}/wineprefix-144dpi)
    add_wine_prefix(wineprefix-144dpi ${CMAKE_BINARY_DIR}/wineprefix-144dpi 144)
endif()
