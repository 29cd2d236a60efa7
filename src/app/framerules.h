#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/registryforms.h"

class QLocale;

// The main window's rules that need no window: its caption, the layout of its client area, the
// "Rearrange Windows" placement, the zoom steps, the help file of a language and the About text.

namespace zark {

inline constexpr int kMinMainWidth = 630;
inline constexpr int kMinMainHeight = 460;
inline constexpr Rect kDefaultMainRect{0, 0, 640, 480};
inline constexpr int kReplayBandHeight = 32;  // the trace timeline along the bottom
inline constexpr int kToolbarInitialHeight = 30;
inline constexpr int kWelcomeCaptionHeight = 30;
inline constexpr int kMinZoom = 1;
inline constexpr int kMaxZoom = 4;

// "%s - %s" of title and file name, or the title alone while there is no file name.
std::string MainCaption(std::string_view title, std::string_view fileName);

struct Box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Box&, const Box&) = default;
};

// The client area w × h with a toolbar of height t: the trace timeline takes the bottom 32
// pixels, the toolbar the top, and the child-window area (and the welcome panel over it) the rest.
struct ClientLayout {
    Box replay;
    Box toolbar;
    Box mdi;
    Box welcome;
};
ClientLayout LayOutClient(int width, int height, int toolbarHeight);

// "Rearrange Windows" in a child-window area of W × H, around the scoreboard's size s × g: the
// scoreboard in the top-right corner, the match board and the diagram below it, the analysis
// window in the lower half of that column (the top of the diagram and of the match board stay in
// sight; it grows upwards to analysisMinHeight, never over the scoreboard), the target window
// across the rest of the width.
struct Arrangement {
    Box scoreboard;
    Box matchBoard;  // position only: the match board keeps its size
    Box diagram;
    Box analysis;
    Box target;
};
Arrangement ArrangeChildren(int areaWidth, int areaHeight, int scoreboardWidth, int scoreboardHeight,
                            int matchBoardWidth, int matchBoardHeight, int analysisMinHeight = 0);

// The zoom a zoom command leaves: Zoom 1:1 to 4:1 choose theirs, Zoom In and Zoom Out step by one
// within 1..4. A current zoom outside 1..4 (a bad stored value) counts as the nearest valid one.
int ZoomAfterCommand(int command, int currentZoom);
int ClampZoom(int zoom);

// The help file of a "LangID" value: German, Swedish and Spanish have their own, every other
// value the English one. The user's own language (0x0400) is resolved with userLocale, as the
// texts are.
std::string HelpFileName(std::uint16_t langId, const QLocale& userLocale);

// The About text: pattern with its %s replaced by the version and "%%" by "%". Any other "%"
// stays as it is, so a translated text can never read arguments that are not there. Line ends
// are those of the pattern.
std::string FormatWithVersion(std::string_view pattern, std::string_view version);

}  // namespace zark
