#pragma once

// The commands of the menu bar, the keyboard shortcuts and the toolbar. Each QAction carries its
// number; the main frame dispatches on it.

namespace zark {

enum CommandId : int {
    kCmdExit = 2100,
    kCmdOpen = 2101,
    kCmdSave = 2102,
    kCmdCustomize = 2103,
    kCmdPrint = 2104,
    kCmdZoom1 = 2105,
    kCmdZoom2 = 2106,
    kCmdZoom3 = 2107,
    kCmdZoom4 = 2108,

    // Targets menu: one command per target pair.
    kCmdRifle300 = 2109,
    kCmdRifle200 = 2110,
    kCmdRifle100 = 2111,
    kCmdRifle50 = 2112,
    kCmdRifle50Finale = 2113,
    kCmdAirRifle = 2114,
    kCmdAirRifleFinale = 2115,
    kCmdPistol50 = 2116,
    kCmdPistol25 = 2117,
    kCmdPistol25Fast = 2118,
    kCmdAirPistol = 2119,
    kCmdAirPistolFinale = 2120,
    kCmdMoose5 = 2121,
    kCmdMoose10 = 2122,
    kCmdRoebuck = 2123,
    kCmdDeer = 2124,
    kCmdBoar = 2125,
    kCmdHuntAirRifle = 2126,
    kCmdFieldC35 = 2127,
    kCmdFieldB45 = 2128,
    kCmdFieldBarrel = 2129,
    kCmdFieldS25Horizontal = 2130,
    kCmdFieldS25Vertical = 2131,
    kCmdFieldQuarter = 2132,
    kCmdFieldQuarterLeft = 2133,
    kCmdFieldQuarterRight = 2134,
    kCmdBiathlonProne = 2135,
    kCmdBiathlonStanding = 2136,
    kCmdFirstTarget = kCmdRifle300,
    kCmdLastTarget = kCmdBiathlonStanding,

    // Shoot menu.
    kCmdSighters3 = 2137,
    kCmdSighters4 = 2138,
    kCmdSighters5 = 2139,
    kCmdSerie4 = 2140,
    kCmdSerie4Double = 2141,
    kCmdSerie5 = 2142,
    kCmdSerie6 = 2143,
    kCmdSerie10 = 2144,
    kCmdSerie10Double = 2145,

    kCmdAnalysis = 2146,        // View menu: the analysis window
    kCmdAnalysisWindow = 2147,  // sent by the analysis window's close box
    kCmdProgress = 2148,        // View menu: the training log over days and weeks
    kCmdProgressWindow = 2149,  // sent by the progress window's close box

    kCmdAbout = 2150,
    kCmdDiagram = 2152,
    kCmdDiagramWindow = 2153,  // sent by the diagram window itself
    kCmdCentreSeries = 2155,
    kCmdReplay = 2156,
    kCmdPauseContinue = 2157,
    kCmdNewSerie = 2158,
    kCmdHelpTopics = 2159,
    // View menu: show and hide the child windows a close box hid.
    kCmdTargetWindow = 2160,
    kCmdScoreboardWindow = 2161,
    kCmdMatchBoardWindow = 2162,
    kCmdTimedSeries = 2163,  // Shoot menu: a series against the clock
    kCmdPageSetup = 2182,
    kCmdRearrange = 2183,
    kCmdToolbar = 2184,  // the toolbar's control id

    // Toolbar.
    kCmdReplayStop = 2185,
    kCmdReplayFastForward = 2186,
    kCmdReplayReverse = 2187,
    kCmdReplayRewind = 2188,
    kCmdReplayEnd = 2189,
    kCmdPitch = 2190,
    kCmdZoomIn = 2191,
    kCmdZoomOut = 2192,
    kCmdClearPitch = 2193,
    kCmdExportPdf = 2194,

    kCmdSaveAutomatically = 2197,
    kCmdMatch = 2198,
    kCmdShowWarnings = 2199,
    kCmdDelete = 2200,
    kCmdWatchLane = 2195,  // File menu: watch a lane of the range
    kCmdRange = 2164,        // View menu: the range officer's window
    kCmdRangeWindow = 2165,  // sent by the range window's close box
};

}  // namespace zark
