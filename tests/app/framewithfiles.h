#pragma once

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/acceleratorfilter.h"
#include "app/framefiles.h"
#include "framewithseries.h"

namespace zark::test {

// A main frame with its series running by hand (FrameWithSeries), its shortcuts, Qt's own file
// dialogs, and a data directory in a folder of the test's own.
struct FrameWithFiles : FrameWithSeries {
    FrameWithFiles() {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        accelerators = std::make_unique<AcceleratorFilter>(
            *frame, frame->Accelerators(), [this](int command) { frame->OnCommand(command, true); });
        files = frame->Files();
        data = dir.filePath("data");
        files->Commands().PrepareDataDirectory(data);
    }
    ~FrameWithFiles() { accelerators.reset(); }

    bool Choose(int command) { return ChooseCommand(*frame, command); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(frame.get(), key, modifiers);
    }
    // n shots, each settled after the time between shots.
    void Shoot(int n) {
        for (int i = 0; i < n; ++i) {
            frame->Hub().FeedSample(5 * i, 3, 0, 0, -1);
            frame->Hub().FeedSample(5 * i, 4, 1, 0, -1);
            timers.FireAll();
        }
    }

    std::unique_ptr<AcceleratorFilter> accelerators;
    QTemporaryDir dir;
    QString data;
    FrameFiles* files = nullptr;
};

}  // namespace zark::test
