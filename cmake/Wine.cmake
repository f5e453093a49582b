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
