#include "frmMain.h"

#include "game_directory.h"
#include "game_reader.h"
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

// One byte more than the game reads tells a descriptor it reads from one it does not start
// with; the rest of a larger one, however large, is never read.
constexpr std::size_t kReadLimit = kLargestDescriptor + 1;

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
    if (auto error = files_.readAtMost(descriptorPath_, kReadLimit, bytes)) {
        return error;
    }
    keep(std::move(bytes));
    return std::nullopt;
}

// Each attempt reads the whole file as it is now and saves only while it still holds that:
// a change another program makes is read in full and kept, at any moment but one, the
// microseconds between the last look and a replace that succeeds (rewriteFileUnlessChanged).
SaveResult frmMain::Speichern(const std::string& library) {
    for (int attempt = 0; attempt < kSaveAttempts; ++attempt) {
        std::string current;
        if (auto error = files_.readAtMost(descriptorPath_, kReadLimit, current)) {
            return SaveResult{error, std::nullopt};
        }
        if (current != readBytes_) {
            keep(std::move(current));
        }
        const RewrittenDescriptor rewritten = rewrittenDescriptor(keptText_, library);
        if (auto refusal = checkRewrite(readBytes_, rewritten)) {
            return SaveResult{std::nullopt, std::move(refusal)};
        }
        const RewriteResult result =
            rewriteFileUnlessChanged(files_, descriptorPath_, readBytes_, rewritten.bytes);
        if (!result.changed) {
            return SaveResult{result.error, std::nullopt};
        }
    }
    Refusal keptChanging;
    keptChanging.reason = RefusalReason::ChangedWhileSaving;
    return SaveResult{std::nullopt, keptChanging};
}

void frmMain::keep(std::string bytes) {
    keptText_ = keepOrdinaryLines(bytes);
    readBytes_ = std::move(bytes);
}

bool frmMain::saveAndReport(std::string_view library, std::string_view successText) {
    const SaveResult result = Speichern(std::string(library));
    if (result.fileError) {
        boxes_.showFileError(*result.fileError);
        return false;
    }
    if (result.refusal) {
        boxes_.showRefusal(*result.refusal);
        return false;
    }
    boxes_.showSuccess(successText);
    return true;
}

}  // namespace velmora
