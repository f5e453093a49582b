// The switcher's file set as the program tests lay it out: which names of each entry exist,
// and which original file's content each holds.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace file_set_layout {

// Kept: the name a restore keeps a live file under when its bot variant's name is taken.
// Record: an install's record, an empty file (once for the folder).
enum Role { Live, Backup, Bot, Kept, Record };

constexpr std::array<std::array<const char*, 4>, 4> kNames = {{
    {"liblist.gam", "liblist.bak", "liblist.bot", "liblist.gam.swapcfg-0.kept"},
    {"settings.scr", "settings.bak", "settings.bot", "settings.scr.swapcfg-0.kept"},
    {"game.cfg", "game.bak", "game.bot", "game.cfg.swapcfg-0.kept"},
    {"commandmenu.txt", "commandmenu.bak", "commandmenu.bot", "commandmenu.txt.swapcfg-0.kept"},
}};

// The entries a placement is for, one bit each in the order of kNames.
constexpr unsigned kEveryEntry = 0b1111;
constexpr unsigned kDescriptorEntry = 0b0001;
constexpr unsigned kOtherEntries = 0b1110;

// Where a file of each entry stands, and which original file's content it holds.
struct Placement {
    Role name;
    Role content;
    unsigned entries = kEveryEntry;
    const char* plan = nullptr;  // a Record's: one digit for each entry, as swapcfg names it
};

// The record of an install that left each entry as `plan` says: 0 alone, 1 backed up, 2 its
// bot variant added.
inline Placement record(const char* plan) {
    return {Record, Record, kDescriptorEntry, plan};
}
using Layout = std::vector<Placement>;
using Files = std::map<std::string, std::string>;

inline std::string contentOf(Role role, std::size_t entry) {
    return std::string("original ") + kNames[entry][role] + "\r\n";
}

inline Files filesFor(const Layout& layout, const std::string& namePrefix) {
    Files files;
    for (std::size_t entry = 0; entry < kNames.size(); ++entry) {
        for (const Placement& p : layout) {
            if (p.name == Record && entry == 0) {
                files[namePrefix + "liblist.gam.swapcfg-" + p.plan + ".installed"] = "";
            } else if (p.name != Record && (p.entries & (1u << entry)) != 0) {
                files[namePrefix + kNames[entry][p.name]] = contentOf(p.content, entry);
            }
        }
    }
    return files;
}

// Writes the files of `layout` into `folder`.
inline void writeLayout(const std::filesystem::path& folder, const Layout& layout,
                        const std::string& namePrefix = "") {
    for (const auto& [name, content] : filesFor(layout, namePrefix)) {
        testing_support::writeFile(folder / name, content);
    }
}

inline const Layout kFresh = {{Live, Live}, {Bot, Bot}};
inline const Layout kInstalled = {{Backup, Live}, {Live, Bot}, record("1111")};

}  // namespace file_set_layout
