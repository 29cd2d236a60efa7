#pragma once

#include <QPointer>
#include <QString>
#include <memory>

#include "core/shootinghub.h"
#include "storage/seriesjournal.h"

namespace zark {

class FileCommands;
class MainFrame;
class NoticeBanner;

// Keeps the journal of the series being shot, from its first aim point until it is saved or given
// up, so that a crash or a power cut never loses a fired shot; and at start-up writes the series
// that earlier runs left in their journals into files. The last view of the live hub: it follows
// the store after every live sample, and the new series, the new target and a replaced store.
class FrameJournal final : public HubView {
public:
    FrameJournal(MainFrame& frame, FileCommands& files, NoticeBanner* banner);
    ~FrameJournal() override;

    // The series earlier runs left unsaved are written as files; the banner names them.
    void RecoverEarlierRuns();
    // The series (or match) was saved, or given up on purpose: its journal goes.
    void Close();
    SeriesJournal& Journal() { return *journal_; }

    void OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) override;
    void OnNewSeries(int shots, int sighters, int isDouble) override;
    void OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) override;
    void OnStoreChanged() override;
    void OnAcquisitionStopped() override;

private:
    void Begin();
    void ShowFailure();

    MainFrame& frame_;
    FileCommands& files_;
    QPointer<NoticeBanner> banner_;
    std::unique_ptr<SeriesJournal> journal_;
    bool following_ = false;  // the journal follows the live store
};

}  // namespace zark
