#include "audio/qtsoundoutput.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QTimer>
#include <chrono>
#include <cstring>

#include "diag/diagnostics.h"

namespace zark {

namespace {
constexpr int kBufferMs = 40;   // what the device holds ahead
constexpr int kFeedMs = 10;     // how often it is topped up
constexpr int kTailMs = 60;     // silence after a sound before its stream closes
constexpr int kStallMs = 5000;  // a device that takes nothing for this long past the end is given up
using Clock = std::chrono::steady_clock;
}  // namespace

// Lives on the output's thread and owns the device.
class SoundEngine final : public QObject {
public:
    explicit SoundEngine(QtSoundOutput& owner) : owner_(owner), feed_(this) {
        feed_.setTimerType(Qt::PreciseTimer);
        feed_.setInterval(kFeedMs);
        connect(&feed_, &QTimer::timeout, this, &SoundEngine::Feed);
    }

    void Start(SoundPtr sound, bool loop, std::uint64_t id, Clock::time_point requested) {
        if (!owner_.IsLatest(id)) return;  // a later request is on its way and ends this one anyway
        End();
        if (!sound || sound->samples.empty()) {
            owner_.Ended(id);
            return;
        }
        QAudioFormat format;
        format.setSampleRate(sound->sampleRate);
        format.setChannelCount(sound->channels);
        format.setSampleFormat(QAudioFormat::Int16);
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            Fail("no sound device was found; the program runs silently");
            owner_.Ended(id);
            return;
        }
        if (!sink_ || sink_->format() != format || device_ != device) {
            delete sink_;
            sink_ = new QAudioSink(device, format, this);
            sink_->setBufferSize(format.bytesForDuration(kBufferMs * 1000));
            device_ = device;
        }
        io_ = sink_->start();
        if (!io_ || sink_->error() != QAudio::NoError) {
            Fail("the sound device cannot be opened; the program runs silently");
            io_ = nullptr;
            owner_.Ended(id);
            return;
        }
        owner_.deviceWorked_ = true;
        sound_ = std::move(sound);
        loop_ = loop;
        id_ = id;
        position_ = 0;
        written_ = 0;
        // A sound that is not looped ends when the device has taken all of it and a little silence.
        endBytes_ = qint64(sound_->samples.size()) * qint64(sizeof(std::int16_t)) +
                    format.bytesForDuration(kTailMs * 1000);
        stallMs_ = sound_->DurationMs() + kTailMs + kStallMs;
        clock_.start();
        Feed();
        owner_.startMicroseconds_ =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - requested).count();
        feed_.start();
    }

    void Shutdown() {
        End();
        delete sink_;
        sink_ = nullptr;
        deleteLater();
    }

private:
    // Ends the sound that plays, at once.
    void End() {
        feed_.stop();
        if (io_ && sink_) sink_->stop();
        io_ = nullptr;
        if (sound_) owner_.Ended(id_);
        sound_.reset();
    }

    void Feed() {
        if (!io_ || !sound_) return;
        if (!loop_) {
            // what the device has taken: all that was written but what its buffer still holds
            const qint64 held = std::max<qint64>(0, sink_->bufferSize() - sink_->bytesFree());
            if (written_ - held >= endBytes_ || clock_.elapsed() >= stallMs_) {
                End();
                return;
            }
        }
        const std::int64_t total = std::int64_t(sound_->samples.size());
        const int channels = sound_->channels;
        std::int64_t room = sink_->bytesFree() / std::int64_t(sizeof(std::int16_t));
        room -= room % channels;
        while (room > 0) {
            std::int64_t count = 0;
            const char* data = nullptr;
            if (position_ < total) {
                count = std::min(room, total - position_);
                data = reinterpret_cast<const char*>(sound_->samples.data() + position_);
            } else {
                // played out: silence until the device has sounded the end
                count = std::min<std::int64_t>(room, std::int64_t(silence_.size()));
                data = reinterpret_cast<const char*>(silence_.data());
            }
            const qint64 written = io_->write(data, count * qint64(sizeof(std::int16_t)));
            if (written <= 0) break;
            written_ += written;
            const std::int64_t samples = written / qint64(sizeof(std::int16_t));
            if (position_ < total) {
                position_ += samples;
                if (loop_ && position_ >= total) position_ = 0;
            }
            room -= samples;
        }
    }

    void Fail(const char* what) {
        if (!reported_) LogLine("Sound: %s\n", what);
        reported_ = true;
        owner_.deviceWorked_ = false;
    }

    QtSoundOutput& owner_;
    QTimer feed_;
    QAudioSink* sink_ = nullptr;
    QAudioDevice device_;
    QIODevice* io_ = nullptr;
    SoundPtr sound_;
    bool loop_ = false;
    std::uint64_t id_ = 0;
    std::int64_t position_ = 0;  // next sample
    qint64 written_ = 0;         // bytes handed to the device since the sound started
    qint64 endBytes_ = 0;        // taken by the device when a sound that is not looped has ended
    qint64 stallMs_ = 0;
    QElapsedTimer clock_;
    std::array<std::int16_t, 4096> silence_{};
    bool reported_ = false;
};

QtSoundOutput::QtSoundOutput() {
    thread_.setObjectName(QStringLiteral("sound"));
    engine_ = new SoundEngine(*this);
    engine_->moveToThread(&thread_);
    thread_.start();
}

QtSoundOutput::~QtSoundOutput() {
    QMetaObject::invokeMethod(
        engine_, [engine = engine_] { engine->Shutdown(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    const std::lock_guard lock(mutex_);
    ended_ = latest_.load();
    endedChanged_.notify_all();
}

std::uint64_t QtSoundOutput::Request(SoundPtr sound, bool loop) {
    std::uint64_t id = 0;
    {
        const std::lock_guard lock(mutex_);
        id = latest_.load() + 1;
        latest_ = id;
        ended_ = id - 1;  // starting a sound ends every earlier one
        endedChanged_.notify_all();
    }
    const auto requested = Clock::now();
    QMetaObject::invokeMethod(
        engine_,
        [engine = engine_, sound = std::move(sound), loop, id, requested] {
            engine->Start(sound, loop, id, requested);
        },
        Qt::QueuedConnection);
    return id;
}

void QtSoundOutput::Ended(std::uint64_t id) {
    const std::lock_guard lock(mutex_);
    if (id > ended_) ended_ = id;
    endedChanged_.notify_all();
}

void QtSoundOutput::Play(SoundPtr sound, bool loop) {
    Request(std::move(sound), loop);
}

void QtSoundOutput::PlayAndWait(SoundPtr sound) {
    const std::uint64_t id = Request(std::move(sound), false);
    std::unique_lock lock(mutex_);
    endedChanged_.wait(lock, [this, id] { return ended_ >= id; });
}

void QtSoundOutput::Stop() {
    Request(nullptr, false);
}

}  // namespace zark
