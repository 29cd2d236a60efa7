#include "core/tracestore.h"

#include <algorithm>
#include <cstring>

#include "settings/settings.h"

namespace zark {

void TraceImage::Clear() {
    sampleCount = 0;
    static_assert(std::is_trivially_copyable_v<AimSample>);
    std::memset(static_cast<void*>(samples), 0, sizeof samples);  // AimSample{}: every point (0, 0), in one sweep
    shotCount = 0;
    for (ShotRecord& shot : shots) shot = ShotRecord{};
    centred = centreX = centreY = 0;
    timed = 0;
    drill = TimedDrill{};
    for (TimedShot& shot : timing) shot = TimedShot{};
    for (ShotCall& call : calls) call = ShotCall{};
}

void TraceImage::ClampTiming() {
    if (!timed) return;
    drill = drill.Clamped();
    drill.randomStart = drill.randomStart != 0;
    for (std::int32_t i = 0; i < kMaxShots; ++i) {
        TimedShot& shot = timing[i];
        if (i >= shotCount) shot = TimedShot{};
        shot.window = std::clamp(shot.window, -1, drill.windows - 1);
        shot.late = shot.late != 0;
        shot.repeat = std::clamp(shot.repeat, 0, kMaxSamples);
        shot.between = shot.late && shot.between != 0;
    }
}

TraceStore::TraceStore() { Clear(); }

void TraceStore::Clear() {
    image_.Clear();
    shotTimeOffset_ = 0;
}

std::int32_t TraceStore::TimeStep() const { return TimeStepOf(settings_); }

TraceStore::Window TraceStore::ShotStretch(std::int32_t i, const Settings* settings) const {
    return ReplayWindow(i, ReplayTimeBeforeOf(settings), ReplayTimeAfterOf(settings));
}

bool TraceStore::ShotInRange(std::int32_t i, std::int32_t first, std::int32_t last) const {
    if (i < 0 || i >= image_.shotCount || ShotHasNoTrace(i)) return false;
    const std::int32_t t = image_.shots[i].traceIndex;
    return first < t && t < last;
}

int TraceStore::AppendSample(std::int32_t x, std::int32_t y) {
    if (image_.sampleCount >= kMaxSamples) return 0;
    image_.samples[image_.sampleCount] = AimSample{std::int16_t(x), std::int16_t(y)};
    ++image_.sampleCount;
    return 1;
}

int TraceStore::AppendShot(std::int32_t x, std::int32_t y, std::int32_t side) {
    if (image_.shotCount >= kMaxShots) return 0;
    ShotRecord& shot = image_.shots[image_.shotCount];
    shot.x = std::int16_t(x);
    shot.y = std::int16_t(y);
    shot.side = side;
    shot.traceIndex = NoTrace;
    image_.calls[image_.shotCount] = ShotCall{};  // a new shot is not called yet
    if ((shot.x != 0 || shot.y != 0) && image_.sampleCount < kMaxSamples) {
        shot.traceIndex = image_.sampleCount;
        image_.samples[image_.sampleCount] = AimSample{shot.x, shot.y};
        ++image_.sampleCount;
    }
    ++image_.shotCount;
    return 1;
}

bool TraceStore::ShotHasNoTrace(std::int32_t i) const {
    if (i < 0 || i >= image_.shotCount) return true;
    const std::int32_t t = image_.shots[i].traceIndex;
    return t < 0 || t >= image_.sampleCount;
}

const ShotRecord& TraceStore::Shot(std::int32_t i) const {
    static const ShotRecord kNone{};
    return i >= 0 && i < image_.shotCount ? image_.shots[i] : kNone;
}

SamplePoint TraceStore::ShotPosition(std::int32_t i) const {
    const ShotRecord& shot = Shot(i);
    if (shotTimeOffset_ == 0 || ShotHasNoTrace(i)) return {shot.x, shot.y};
    std::int32_t k = shotTimeOffset_ / TimeStep() + shot.traceIndex;
    k = std::clamp(k, 0, image_.sampleCount - 1);
    return Sample(k);
}

bool TraceStore::ShotFired(std::int32_t i) const {
    if (i < 0 || i >= image_.shotCount) return false;
    return image_.shots[i].x != 0 || image_.shots[i].y != 0;
}

std::int32_t TraceStore::ShotTime(std::int32_t i) const {
    std::int32_t index = Shot(i).traceIndex;
    if (ShotHasNoTrace(i)) index = ShotFired(i) ? std::max(0, image_.sampleCount - 1) : NoTraceInFiles;
    return shotTimeOffset_ + index * TimeStep();
}

TraceStore::SampleInfo TraceStore::SampleAt(std::int32_t index) const {
    SampleInfo info;
    info.point = Sample(index);
    const std::int32_t settle = 2000 / TimeStep();
    for (std::int32_t j = 0; j < image_.shotCount; ++j) {
        if (ShotHasNoTrace(j)) continue;
        const std::int32_t t = image_.shots[j].traceIndex;
        if (t + settle < index) ++info.shotsBefore;
        if (t == index) info.isShot = true;
    }
    return info;
}

TraceStore::Window TraceStore::ReplayWindow(std::int32_t i, std::int32_t beforeMs, std::int32_t afterMs) const {
    Window w;
    if (i < 0 || i > image_.shotCount) return w;
    if (i == image_.shotCount) {
        w.ok = true;
        w.first = 0;
        w.last = image_.sampleCount - 1;
        return w;
    }
    if (ShotHasNoTrace(i)) return w;
    const std::int32_t own = image_.shots[i].traceIndex;
    const std::int32_t step = TimeStep();

    std::int32_t prev = NoTrace;
    for (std::int32_t j = i - 1; j >= 0; --j) {
        if (!ShotHasNoTrace(j)) {
            prev = image_.shots[j].traceIndex;
            break;
        }
    }
    for (std::int32_t s = own - 1; s > 0; --s) {
        if (s == prev) {
            w.first = s + 1;
            break;
        }
        if (image_.samples[s].x == 0 && image_.samples[s].y == 0) {
            w.first = s;
            break;
        }
    }
    w.first = std::max(w.first, own - beforeMs / step);
    w.first = std::max(w.first, 0);

    w.last = image_.sampleCount - 1;
    std::int32_t next = NoTrace;
    for (std::int32_t j = i + 1; j < image_.shotCount; ++j) {
        if (!ShotHasNoTrace(j)) {
            next = image_.shots[j].traceIndex;
            break;
        }
    }
    for (std::int32_t s = own + 1; s < image_.sampleCount; ++s) {
        if (s == next) {
            w.last = s - 1;
            break;
        }
        if (image_.samples[s].x == 0 && image_.samples[s].y == 0) {
            w.last = s;
            break;
        }
    }
    w.last = std::min(w.last, own + afterMs / step);
    w.ok = true;
    return w;
}

void TraceStore::Centre(int on) {
    if (image_.shotCount > 0) {
        std::int64_t sumX = 0;
        std::int64_t sumY = 0;
        for (std::int32_t j = 0; j < image_.shotCount; ++j) {
            sumX += image_.shots[j].x;
            sumY += image_.shots[j].y;
        }
        image_.centreX = std::int32_t(-(sumX / image_.shotCount));
        image_.centreY = std::int32_t(-(sumY / image_.shotCount));
    } else {
        // no shots, no mean: the series is shown as recorded
        image_.centreX = 0;
        image_.centreY = 0;
    }
    image_.centred = on;
}

SamplePoint TraceStore::Shown(SamplePoint point) const {
    // Only (0, 0) is no position: a point on an axis is moved like every other.
    if (image_.centred == 1 && !(point.x == 0 && point.y == 0))
        return {point.x + image_.centreX, point.y + image_.centreY};
    return point;
}

void TraceStore::StartTiming(const TimedDrill& drill) {
    image_.timed = 1;
    image_.drill = drill.Clamped();
    for (TimedShot& shot : image_.timing) shot = TimedShot{};
}

void TraceStore::SetShotTiming(std::int32_t i, const TimedShot& timing) {
    if (i >= 0 && i < image_.shotCount) image_.timing[i] = timing;
}

TimedShot TraceStore::ShotTiming(std::int32_t i) const {
    if (!Timed() || i < 0 || i >= image_.shotCount) return TimedShot{};
    return image_.timing[i];
}

void TraceStore::SetCall(std::int32_t i, std::int32_t x, std::int32_t y) {
    if (i < 0 || i >= image_.shotCount) return;
    image_.calls[i] = ShotCall{1, x, y};
}

ShotCall TraceStore::Call(std::int32_t i) const {
    if (i < 0 || i >= image_.shotCount || !image_.calls[i].given) return ShotCall{};
    return image_.calls[i];
}

int TraceStore::CopyFrom(const TraceImage& image) {
    if (image.sampleCount < 0 || image.sampleCount > kMaxSamples) return 0;
    if (image.shotCount < 0 || image.shotCount > kMaxShots) return 0;
    std::memcpy(&image_, &image, sizeof image_);
    return 1;
}

}  // namespace zark
