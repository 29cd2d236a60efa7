#pragma once

#include <functional>
#include <string>

#include "window/mdichildwindow.h"
#include "results/matchtally.h"

class QListWidget;

namespace zark {

class MdiClient;
struct TargetDescriptor;

// The match board: one item per scored series of the match with its total, and the match total
// last. Choosing a series item asks for that series to be shown (onChoose); the total item asks
// for nothing. When the request is refused (a series of the match is being shot) the selection is
// taken back and the board says why.
class MatchBoard final : public MdiChildWindow {
public:
    static constexpr int kListId = 2005;
    static constexpr int kClientHeight = 204;
    static constexpr int kDefaultLeft = 462;
    static constexpr int kDefaultTop = 232;
    static constexpr int kDefaultWidth = 170;
    static constexpr int kItemWidth = 64;
    static constexpr int kRefusedText = 320;

    MatchBoard();
    ~MatchBoard() override;

    // Creates the window hidden, at its stored place "Matchboard", else below the scoreboard's first place.
    int Create(MdiClient& client, const QIcon& icon = QIcon());
    static Rect DefaultRect();

    void SetCaption(const std::string& title);
    void ResetRows(int n);
    void FillRow(int j, const TraceImage& series, const TargetDescriptor* first, const TargetDescriptor* second);
    int FirstSelected() const;
    void Show(bool on);

    const MatchTally& Tally() const { return tally_; }
    QListWidget* List() const { return list_; }

    // Series item i was chosen; false refuses it.
    std::function<bool(int item)> onChoose;

private:
    void WriteItem(int item);
    void Chosen();

    QListWidget* list_ = nullptr;
    MatchTally tally_;
    bool refusing_ = false;
    bool selectionChanged_ = false;
    bool pressChangedSelection_ = false;
};

}  // namespace zark
