// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit_launcher/kit_manifest.hpp"

#include <array>
#include <span>
#include <string_view>

namespace kelmor {
namespace {

using Names = std::span<const std::string_view>;

// Files of the kit folder itself, copied into the application folder itself.
constexpr std::string_view kKitFolderFiles[]{"HMIDET.386", "HMIDRV.386", "KELKIT.EXE"};

// The map editor lies in each language folder; every copy lands on the same
// file, so the last folder the CD holds wins.
constexpr std::string_view kMapEditor = "MAPPER.EXE";
constexpr std::string_view kMapEditorFolders[]{"FR", "AL", "USA"};

struct World {
    std::string_view folder;
    std::string_view prefix;  // of its map and picture files
};

constexpr std::array<World, 6> kWorlds{{
    {"CAKE", "CAK"},
    {"CAVE", "CAV"},
    {"IMAGE", "IMA"},
    {"JUNGLE", "JUN"},
    {"MOUNTAIN", "MON"},
    {"MUSIC", "MUS"},
}};
constexpr std::string_view kWorldFileSuffixes[]{".MAP", ".PCX"};  // behind the world's prefix
constexpr std::string_view kWorldEvents = "EVE.MLT";
constexpr std::string_view kWorldMaps[]{"MAP_101", "MAP_102", "MAP_103", "MAP_104", "MAP_105"};
constexpr std::string_view kMapFiles[]{"EVENT.MAP", "EVENT.MEV", "EVENT.SEV", "MAP.INI"};

constexpr std::string_view kDataFolder = "DATA";
constexpr std::string_view kDataFiles[]{"AL.BIN",    "FR.BIN",   "KITFOND.PCX", "LET.OBF",
                                        "LET.SPR",   "LET2.OBF", "LET2.SPR",    "PERFECT.VIG",
                                        "SOUND.BIN", "USA.BIN",  "VERSION.BIN"};

constexpr std::string_view kPcmapFolder = "PCMAP";
constexpr std::string_view kPcmapFiles[]{
    "ALLFIX.DAT", "BIGKEL.DAT", "CAK01.LEV",  "CAK02.LEV",  "CAK03.LEV",  "CAK04.LEV",
    "CAV01.LEV",  "CAV02.LEV",  "CAV03.LEV",  "CAV04.LEV",  "IMA01.LEV",  "IMA02.LEV",
    "IMA03.LEV",  "IMA04.LEV",  "JUN01.LEV",  "JUN02.LEV",  "JUN03.LEV",  "JUN04.LEV",
    "MON01.LEV",  "MON02.LEV",  "MON03.LEV",  "MON04.LEV",  "MUS01.LEV",  "MUS02.LEV",
    "MUS03.LEV",  "MUS04.LEV",  "COMMON.DAT", "KEL01.WLD",  "KEL02.WLD",  "KEL03.WLD",
    "KEL04.WLD",  "KEL05.WLD",  "KEL06.WLD",  "SNDD8B.DAT", "SNDH8B.DAT", "VIGNET.DAT"};
constexpr std::string_view kPcmapLanguageFolders[]{"AL", "FR", "USA"};
constexpr std::string_view kPcmapLanguageFiles[]{"EVNAME00.WLD", "EVNAME01.WLD", "EVNAME02.WLD",
                                                 "EVNAME03.WLD", "EVNAME04.WLD", "EVNAME05.WLD",
                                                 "EVNAME06.WLD", "SPECIAL.DAT",  "SNDSMP.DAT"};

std::string below(std::string_view folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    return std::string(folder) + "\\" + std::string(name);
}

// A file of the CD copied to the same place below the application folder.
void addFile(std::vector<KitCopy>& copies, std::string_view folder, std::string_view file) {
    const std::string path = below(folder, file);
    copies.push_back({path, path});
}

void addFolder(std::vector<KitCopy>& copies, std::string_view folder, Names files) {
    for (std::string_view file : files) addFile(copies, folder, file);
}

void addMapEditor(std::vector<KitCopy>& copies) {
    for (std::string_view language : kMapEditorFolders)
        copies.push_back({below(language, kMapEditor), std::string(kMapEditor)});
}

void addWorld(std::vector<KitCopy>& copies, const World& world) {
    for (std::string_view suffix : kWorldFileSuffixes)
        addFile(copies, world.folder, std::string(world.prefix) + std::string(suffix));
    addFile(copies, world.folder, kWorldEvents);
    for (std::string_view map : kWorldMaps) addFolder(copies, below(world.folder, map), kMapFiles);
}

}  // namespace

std::vector<KitCopy> kitCopyList() {
    std::vector<KitCopy> copies;
    addFolder(copies, "", kKitFolderFiles);
    addMapEditor(copies);
    for (const World& world : kWorlds) addWorld(copies, world);
    addFolder(copies, kDataFolder, kDataFiles);
    addFolder(copies, kPcmapFolder, kPcmapFiles);
    for (std::string_view language : kPcmapLanguageFolders)
        addFolder(copies, below(kPcmapFolder, language), kPcmapLanguageFiles);
    return copies;
}

}  // namespace kelmor
