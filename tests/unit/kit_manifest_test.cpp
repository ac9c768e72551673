// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit_launcher/kit_manifest.hpp"

#include <gtest/gtest.h>

#include <map>

namespace kelmor {
namespace {

TEST(KitCopyList, HoldsTheCopiesInOrderWithTheirGroupBoundaries) {
    const std::vector<KitCopy> copies = kitCopyList();
    ASSERT_EQ(copies.size(), 218u);
    struct Row {
        std::size_t index;
        const char* source;
        const char* destination;
    };
    const Row rows[] = {
        {0, "HMIDET.386", "HMIDET.386"},
        {1, "HMIDRV.386", "HMIDRV.386"},
        {2, "KELKIT.EXE", "KELKIT.EXE"},
        {3, "FR\\MAPPER.EXE", "MAPPER.EXE"},
        {4, "AL\\MAPPER.EXE", "MAPPER.EXE"},
        {5, "USA\\MAPPER.EXE", "MAPPER.EXE"},
        {6, "CAKE\\CAK.MAP", "CAKE\\CAK.MAP"},
        {7, "CAKE\\CAK.PCX", "CAKE\\CAK.PCX"},
        {8, "CAKE\\EVE.MLT", "CAKE\\EVE.MLT"},
        {9, "CAKE\\MAP_101\\EVENT.MAP", "CAKE\\MAP_101\\EVENT.MAP"},
        {12, "CAKE\\MAP_101\\MAP.INI", "CAKE\\MAP_101\\MAP.INI"},
        {13, "CAKE\\MAP_102\\EVENT.MAP", "CAKE\\MAP_102\\EVENT.MAP"},
        {28, "CAKE\\MAP_105\\MAP.INI", "CAKE\\MAP_105\\MAP.INI"},
        {29, "CAVE\\CAV.MAP", "CAVE\\CAV.MAP"},
        {52, "IMAGE\\IMA.MAP", "IMAGE\\IMA.MAP"},
        {75, "JUNGLE\\JUN.MAP", "JUNGLE\\JUN.MAP"},
        {98, "MOUNTAIN\\MON.MAP", "MOUNTAIN\\MON.MAP"},
        {121, "MUSIC\\MUS.MAP", "MUSIC\\MUS.MAP"},
        {123, "MUSIC\\EVE.MLT", "MUSIC\\EVE.MLT"},
        {140, "MUSIC\\MAP_105\\EVENT.MAP", "MUSIC\\MAP_105\\EVENT.MAP"},
        {141, "MUSIC\\MAP_105\\EVENT.MEV", "MUSIC\\MAP_105\\EVENT.MEV"},
        {142, "MUSIC\\MAP_105\\EVENT.SEV", "MUSIC\\MAP_105\\EVENT.SEV"},
        {143, "MUSIC\\MAP_105\\MAP.INI", "MUSIC\\MAP_105\\MAP.INI"},
        {144, "DATA\\AL.BIN", "DATA\\AL.BIN"},
        {154, "DATA\\VERSION.BIN", "DATA\\VERSION.BIN"},
        {155, "PCMAP\\ALLFIX.DAT", "PCMAP\\ALLFIX.DAT"},
        {157, "PCMAP\\CAK01.LEV", "PCMAP\\CAK01.LEV"},
        {181, "PCMAP\\COMMON.DAT", "PCMAP\\COMMON.DAT"},
        {190, "PCMAP\\VIGNET.DAT", "PCMAP\\VIGNET.DAT"},
        {191, "PCMAP\\AL\\EVNAME00.WLD", "PCMAP\\AL\\EVNAME00.WLD"},
        {199, "PCMAP\\AL\\SNDSMP.DAT", "PCMAP\\AL\\SNDSMP.DAT"},
        {200, "PCMAP\\FR\\EVNAME00.WLD", "PCMAP\\FR\\EVNAME00.WLD"},
        {209, "PCMAP\\USA\\EVNAME00.WLD", "PCMAP\\USA\\EVNAME00.WLD"},
        {216, "PCMAP\\USA\\SPECIAL.DAT", "PCMAP\\USA\\SPECIAL.DAT"},
        {217, "PCMAP\\USA\\SNDSMP.DAT", "PCMAP\\USA\\SNDSMP.DAT"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(copies[row.index].source, row.source) << row.index;
        EXPECT_EQ(copies[row.index].destination, row.destination) << row.index;
    }
}

// Only the map editor's three sources share a destination; every other copy
// lands where it came from.
TEST(KitCopyList, OnlyTheMapEditorCopiesShareADestination) {
    std::map<std::string, int> landings;
    for (const KitCopy& copy : kitCopyList()) {
        ++landings[copy.destination];
        if (copy.destination != "MAPPER.EXE") {
            EXPECT_EQ(copy.source, copy.destination);
        }
    }
    EXPECT_EQ(landings.size(), 216u);
    EXPECT_EQ(landings["MAPPER.EXE"], 3);
}

}  // namespace
}  // namespace kelmor
