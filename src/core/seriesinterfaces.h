#pragma once

#include <functional>
#include <memory>

namespace zark {

struct TargetDescriptor;

// A one-shot timer of the series rules. The program runs them on QTimer; tests fire them by hand.
class FlowTimer {
public:
    virtual ~FlowTimer() = default;
    virtual void Start(int ms) = 0;  // (re)starts: one firing after ms
    virtual void Stop() = 0;
    virtual bool Active() const = 0;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    virtual std::unique_ptr<FlowTimer> CreateTimer(std::function<void()> onFire) = 0;
};

struct LeadOffset {
    int x = 0;
    int y = 0;
    friend bool operator==(const LeadOffset&, const LeadOffset&) = default;
};

enum class LeadMode { Fixed, Moving, AlternateFirst, AlternateSecond };

// What the series rules need to know about a target face: score and clock direction of a
// position, and the lead offsets of moving-target shooting.
class FaceRules {
public:
    virtual ~FaceRules() = default;
    virtual double ScoreShot(const TargetDescriptor* face, int x, int y) const = 0;
    virtual int ShotBearing(const TargetDescriptor* face, int x, int y) const = 0;
    virtual LeadOffset Lead(const TargetDescriptor* face, LeadMode mode) const = 0;
};

// The part of the detector link the target window arms: a setup block with the aim offset plus (x, y).
class LinkControl {
public:
    virtual ~LinkControl() = default;
    virtual void RequestAdjustment(int x, int y) = 0;
};

}  // namespace zark
