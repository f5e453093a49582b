// The texts of Velmora's own message boxes, as its users know them, written once for every
// test that reads them. The tests hold the program's texts against these, never against the
// program's own copies.
#pragma once

#include <string>
#include <string_view>

namespace testing_support {

inline constexpr std::string_view kMessage1 =
    "This application is coded for QOX, nothing else\r\n"
    "    So don't try to misuse it for other mods\r\n"
    "                 This program exits now";
inline constexpr std::string_view kMessage2 =
    "                      File: liblist.gam not found\r\n"
    "Be sure that this executable is in your qox directory\r\n"
    "                      This program exits now";
inline constexpr std::string_view kNotInstalled =
    "The bots are not (successful) installed\r\n"
    "       This program exits now";
inline constexpr std::string_view kBotsActivated = "Bots successfully activated";
inline constexpr std::string_view kBotsDeactivated = "Bots are now deactivated";

// An ASCII text as the wide text a Windows box shows.
inline std::wstring wide(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

}  // namespace testing_support
