#include "app/framerules.h"

#include <QLocale>
#include <algorithm>

#include "window/commandids.h"
#include "i18n/uilanguage.h"

namespace zark {

std::string MainCaption(std::string_view title, std::string_view fileName) {
    std::string caption(title);
    if (!fileName.empty()) {
        caption += " - ";
        caption += fileName;
    }
    return caption;
}

ClientLayout LayOutClient(int width, int height, int toolbarHeight) {
    ClientLayout layout;
    layout.replay = {0, height - kReplayBandHeight, width, kReplayBandHeight};
    layout.toolbar = {0, 0, width, toolbarHeight};
    layout.mdi = {0, toolbarHeight, width, std::max(0, height - toolbarHeight - kReplayBandHeight)};
    layout.welcome = layout.mdi;
    return layout;
}

Arrangement ArrangeChildren(int areaWidth, int areaHeight, int scoreboardWidth, int scoreboardHeight,
                            int matchBoardWidth, int matchBoardHeight, int analysisMinHeight) {
    const int left = areaWidth - scoreboardWidth;
    Arrangement a;
    a.scoreboard = {left, 0, scoreboardWidth, scoreboardHeight};
    a.matchBoard = {left, scoreboardHeight, matchBoardWidth, matchBoardHeight};
    a.diagram = {left, scoreboardHeight, scoreboardWidth, areaHeight - scoreboardHeight};
    const int column = std::max(0, areaHeight - scoreboardHeight);
    const int analysisHeight = std::min(column, std::max(column - column / 2, analysisMinHeight));
    a.analysis = {left, scoreboardHeight + column - analysisHeight, scoreboardWidth, analysisHeight};
    a.target = {0, 0, left, areaHeight};
    return a;
}

int ClampZoom(int zoom) { return std::clamp(zoom, kMinZoom, kMaxZoom); }

int ZoomAfterCommand(int command, int currentZoom) {
    const int zoom = ClampZoom(currentZoom);
    if (command >= kCmdZoom1 && command <= kCmdZoom4) return command - kCmdZoom1 + 1;
    if (command == kCmdZoomIn) return std::min(zoom + 1, kMaxZoom);
    if (command == kCmdZoomOut) return std::max(zoom - 1, kMinZoom);
    return zoom;
}

std::string HelpFileName(std::uint16_t langId, const QLocale& userLocale) {
    switch (ResolveUiLanguage(langId, userLocale)) {
        case UiLanguage::German: return "ZARK (Deutsch).html";
        case UiLanguage::Swedish: return "ZARK (Svenska).html";
        case UiLanguage::Spanish: return "ZARK (Espa\xC3\xB1ol).html";
        case UiLanguage::English: break;
    }
    return "ZARK (English US).html";
}

std::string FormatWithVersion(std::string_view pattern, std::string_view version) {
    std::string text;
    text.reserve(pattern.size() + version.size());
    bool versionUsed = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == '%') {
                text += '%';
                ++i;
                continue;
            }
            if (pattern[i + 1] == 's' && !versionUsed) {
                text += version;
                versionUsed = true;
                ++i;
                continue;
            }
        }
        text += pattern[i];
    }
    return text;
}


}  // namespace zark
