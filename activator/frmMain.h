// The activator's main window, frmMain, as logic: its load handler, the click handlers of
// its two buttons, and the descriptor it reads at start-up and rewrites on a command. Its
// Win32 window (frmMain_win.cpp) creates the controls and calls these handlers.
#pragma once

#include <optional>
#include <string>

#include "descriptor.h"
#include "descriptor_check.h"
#include "file_system.h"
#include "message_boxes.h"
#include "native_string.h"

namespace velmora {

inline constexpr std::string_view kBotLibrary = "qox_bot.dll";
inline constexpr std::string_view kNormalLibrary = "hl.dll";

// Speichern's outcome: the descriptor rewritten, or why not.
struct SaveResult {
    FileResult fileError;            // a file operation failed
    std::optional<Refusal> refusal;  // the game would not read the result as asked
};

// How often Speichern starts again when another program changes the descriptor meanwhile.
inline constexpr int kSaveAttempts = 5;

class frmMain {
  public:
    frmMain(FileSystem& files, MessageBoxes& boxes, NativeString applicationDirectory);

    // Runs before the window is shown. False when the program must end: the reason has been
    // shown to the user already.
    bool Form_Load();

    // Activate and Deactivate. Each reports its outcome in a box and tells whether the
    // descriptor now names the library it asked for; the program ends after either.
    bool cmdMit_Click();
    bool cmdOhne_Click();

    // Reads the descriptor and keeps every line except its game-library lines.
    [[nodiscard]] FileResult Oeffnen();

    // Writes the kept lines back, followed by the game-library line for `library`, if the
    // game will read the result as one game library, `library`, and all the settings it
    // reads now. Works on the descriptor as it is when called: a change another program
    // made since Oeffnen is kept, as it is when one comes while it saves.
    [[nodiscard]] SaveResult Speichern(const std::string& library);

    const NativeString& descriptorPath() const { return descriptorPath_; }
    const KeptText& keptText() const { return keptText_; }

  private:
    bool saveAndReport(std::string_view library, std::string_view successText);
    void keep(std::string bytes);

    FileSystem& files_;
    MessageBoxes& boxes_;
    NativeString applicationDirectory_;
    NativeString descriptorPath_;
    std::string readBytes_;  // the descriptor as last read, which `keptText_` was made from
    KeptText keptText_;
};

}  // namespace velmora
