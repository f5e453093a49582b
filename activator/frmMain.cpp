#include "frmMain.h"

#include "game_directory.h"
#include "safe_rewrite.h"

namespace velmora {
namespace {

constexpr std::string_view kNotQoxDirectory =
    "This application is coded for QOX, nothing else\r\n"
    "    So don't try to misuse it for other mods\r\n"
    "                 This program exits now";

constexpr std::string_view kDescriptorMissing =
    "                      File: liblist.gam not found\r\n"
    "Be sure that this executable is in your qox directory\r\n"
    "                      This program exits now";

constexpr std::string_view kBotsNotInstalled =
    "The bots are not (successful) installed\r\n"
    "       This program exits now";

constexpr std::string_view kBotsActivated = "Bots successfully activated";
constexpr std::string_view kBotsDeactivated = "Bots are now deactivated";

}  // namespace

frmMain::frmMain(FileSystem& files, MessageBoxes& boxes, NativeString applicationDirectory)
    : files_(files), boxes_(boxes), applicationDirectory_(std::move(applicationDirectory)) {}

bool frmMain::Form_Load() {
    descriptorPath_ = descriptorPathIn(applicationDirectory_);
    if (!isQoxDirectory(applicationDirectory_)) {
        boxes_.showError(kNotQoxDirectory);
        return false;
    }
    if (!files_.isRegularFile(descriptorPath_)) {
        boxes_.showError(kDescriptorMissing);
        return false;
    }
    if (auto error = Oeffnen()) {
        boxes_.showFileError(*error);
        return false;
    }
    return true;
}

bool frmMain::cmdMit_Click() {
    // Both are always asked, so that neither answer depends on the other.
    const bool hasBotConfig = files_.isRegularFile(botConfigPathIn(applicationDirectory_));
    const bool hasBotLibrary = files_.isRegularFile(botLibraryPathIn(applicationDirectory_));
    if (!hasBotConfig || !hasBotLibrary) {
        boxes_.showError(kBotsNotInstalled);
        return false;
    }
    return saveAndReport(kBotLibrary, kBotsActivated);
}

bool frmMain::cmdOhne_Click() {
    return saveAndReport(kNormalLibrary, kBotsDeactivated);
}

FileResult frmMain::Oeffnen() {
    std::string bytes;
    if (auto error = files_.readAll(descriptorPath_, bytes)) {
        return error;
    }
    keptText_ = keepOrdinaryLines(bytes);
    return std::nullopt;
}

FileResult frmMain::Speichern(const std::string& library) {
    return rewriteFile(files_, descriptorPath_, rewrittenDescriptor(keptText_, library));
}

bool frmMain::saveAndReport(std::string_view library, std::string_view successText) {
    if (auto error = Speichern(std::string(library))) {
        boxes_.showFileError(*error);
        return false;
    }
    boxes_.showSuccess(successText);
    return true;
}

}  // namespace velmora
