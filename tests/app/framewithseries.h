#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/mainframe.h"
#include "apptestsupport.h"
#include "core/targetrun.h"
#include "support/seriestestkit.h"

namespace zark::test {

// A main frame whose Shoot commands run: a drawing view and a target run stand in for the target
// window, with timers the test fires and a link that only counts its arming.
struct FrameWithSeries {
    FrameWithSeries() {
        StoreValue("HideWarningAtStartup", "1");
        frame = std::make_unique<MainFrame>();
        EXPECT_EQ(frame->Create("ZARK", "ZARK"), 1);
        view = std::make_unique<TargetViewForTests>(&frame->Hub(), nullptr, rules, timers);
        run = std::make_unique<TargetRun>(*view, link, *frame, rules, timers);
        view->SetOwner(run.get());
        frame->AttachTargetWindow(*view, *run);
    }
    ~FrameWithSeries() {
        frame->DetachTargetWindow();
        run.reset();
        view.reset();
        frame.reset();
    }

    FlatRules rules;
    HandTimers timers;
    RecordingLink link;
    std::unique_ptr<MainFrame> frame;
    std::unique_ptr<TargetViewForTests> view;
    std::unique_ptr<TargetRun> run;
};

}  // namespace zark::test
