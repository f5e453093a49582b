#include "stop_before_change.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include "swapcfg.h"

namespace swapcfg {
namespace {

// Passes every operation on to the platform's; ends the process right before the change
// numbered `endBefore`: a rename, or the making or removing of a file.
class EndingFileOps final : public FileOps {
  public:
    explicit EndingFileOps(long endBefore) : endBefore_(endBefore) {}

    RenameResult renameNoReplace(const NativeString& from, const NativeString& to) override {
        change();
        return files_.renameNoReplace(from, to);
    }
    bool createEmptyFile(const NativeString& name) override {
        change();
        return files_.createEmptyFile(name);
    }
    void removeEmptyFile(const NativeString& name) override {
        change();
        files_.removeEmptyFile(name);
    }
    bool dropSecondName(const NativeString& name, const NativeString& other) override {
        return files_.dropSecondName(name, other);  // changes only what a stopped run left
    }
    bool exists(const NativeString& name) override { return files_.exists(name); }
    bool isMovableFile(const NativeString& name) override { return files_.isMovableFile(name); }
    std::optional<NativeString> withFolderSeparator(const NativeString& prefix) override {
        return files_.withFolderSeparator(prefix);
    }
    std::unique_ptr<FolderTurn> waitForTurn(const NativeString& name,
                                            std::chrono::milliseconds patience) override {
        return files_.waitForTurn(name, patience);
    }

  private:
    void change() {
        if (++changes_ == endBefore_) {
            std::_Exit(kEndedBeforeTheChange);  // no clean-up of any kind, as when killed
        }
    }

    FileOps& files_ = platformFileOps();
    long endBefore_;
    long changes_ = 0;
};

}  // namespace

int runEndingBeforeChange(const std::vector<NativeString>& arguments) {
    if (arguments.size() != 4) {
        return 2;
    }
    EndingFileOps files(std::stol(std::filesystem::path(arguments[1]).string()));
    const std::vector<NativeString> swapcfgArguments{arguments[0], arguments[2], arguments[3]};
    return run(files, swapcfgArguments);
}

}  // namespace swapcfg
