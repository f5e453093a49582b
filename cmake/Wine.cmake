# Windows test executables run under Wine, in a prefix of their own inside the build tree.
find_program(WINE_PROGRAM wine REQUIRED)
set(WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(WINE_ENVIRONMENT
    WINEPREFIX=${WINEPREFIX}
    WINEARCH=win64
    WINEDEBUG=-all
    "WINEDLLOVERRIDES=mscoree,mshtml=")
set(CMAKE_CROSSCOMPILING_EMULATOR env ${WINE_ENVIRONMENT} ${WINE_PROGRAM})

# Create the prefix once, before any test can start Wine in parallel with another.
add_custom_command(
    OUTPUT ${WINEPREFIX}/system.reg
    COMMAND env ${WINE_ENVIRONMENT} ${WINE_PROGRAM} wineboot --init
    COMMAND env ${WINE_ENVIRONMENT} wineserver --wait
    COMMENT "Creating the Wine prefix"
    VERBATIM)
add_custom_target(wineprefix ALL DEPENDS ${WINEPREFIX}/system.reg)

# A second prefix whose screen runs at 150 % (144 DPI), for the window's scaling.
set(WINEPREFIX_144DPI ${CMAKE_BINARY_DIR}/wineprefix-144dpi)
set(WINE_ENVIRONMENT_144DPI ${WINE_ENVIRONMENT})
list(TRANSFORM WINE_ENVIRONMENT_144DPI REPLACE "^WINEPREFIX=.*" "WINEPREFIX=${WINEPREFIX_144DPI}")
add_custom_command(
    OUTPUT ${WINEPREFIX_144DPI}/dpi.stamp
    COMMAND env ${WINE_ENVIRONMENT_144DPI} ${WINE_PROGRAM} wineboot --init
    COMMAND env ${WINE_ENVIRONMENT_144DPI} ${WINE_PROGRAM} reg add "HKCU\\Control Panel\\Desktop"
            /v LogPixels /t REG_DWORD /d 144 /f
    COMMAND env ${WINE_ENVIRONMENT_144DPI} wineserver --wait
    COMMAND ${CMAKE_COMMAND} -E touch ${WINEPREFIX_144DPI}/dpi.stamp
    COMMENT "Creating the Wine prefix at 144 DPI"
    VERBATIM)
add_custom_target(wineprefix-144dpi ALL DEPENDS ${WINEPREFIX_144DPI}/dpi.stamp)
