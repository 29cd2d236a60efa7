#include "audio/qtsoundoutput.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QTimer>
#include <vector>

#include "diag/diagnostics.h"

namespace zark {

namespace {
constexpr int kReopenMs = 1000;  // after a failed or lost device
constexpr int kFeedMs = 5;       // how often the device's queue is topped up
}  // namespace

// Lives on the output's thread and owns the device.
class SoundStream final : public QObject {
public:
    explicit SoundStream(QtSoundOutput& owner) : owner_(owner), feed_(this), reopen_(this), devices_(this) {
        feed_.setTimerType(Qt::PreciseTimer);
        feed_.setInterval(kFeedMs);
        connect(&feed_, &QTimer::timeout, this, &SoundStream::Feed);
        reopen_.setSingleShot(true);
        reopen_.setInterval(kReopenMs);
        connect(&reopen_, &QTimer::timeout, this, &SoundStream::Open);
        connect(&devices_, &QMediaDevices::audioOutputsChanged, this, [this] {
            if (QMediaDevices::defaultAudioOutput() != device_) Open();
        });
    }

    void Open() {
        Close();
        device_ = QMediaDevices::defaultAudioOutput();
        if (device_.isNull()) {
            Fail("no sound device was found; the program runs silently");
            return;
        }
        QAudioFormat format;
        format.setSampleRate(owner_.SampleRate());
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        sink_ = new QAudioSink(device_, format, this);
        sink_->setBufferSize(format.bytesForDuration(QtSoundOutput::kBufferMs * 1000));
        connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
            if (state == QAudio::StoppedState && sink_ && sink_->error() != QAudio::NoError) {
                Fail("the sound device stopped; it is opened again");
                reopen_.start();
            }
        });
        owner_.SetSilent(false);
        io_ = sink_->start();
        if (!io_ || sink_->error() != QAudio::NoError || sink_->state() == QAudio::StoppedState) {
            Fail("the sound device cannot be opened; the program runs silently");
            Close();
            return;
        }
        owner_.deviceWorked_ = true;
        owner_.bufferMs_ = int(format.durationForBytes(sink_->bufferSize()) / 1000);
        ++owner_.opens_;
        pending_.clear();
        Feed();
        feed_.start();
    }

    void Shutdown() {
        reopen_.stop();
        Close();
        deleteLater();
    }

private:
    // Keeps the device's queue full: what it has room for is rendered and handed over; what it
    // does not take now goes first next time, so the stream never skips a sample.
    void Feed() {
        if (!sink_ || !io_) return;
        for (int round = 0; round < 4; ++round) {
            if (pending_.empty()) {
                const qsizetype frames = sink_->bytesFree() / qsizetype(sizeof(std::int16_t));
                if (frames <= 0) return;
                pending_.resize(std::size_t(frames));
                owner_.Render(pending_.data(), int(frames));
                sent_ = 0;
            }
            const qint64 bytes = qint64(pending_.size() - sent_) * qint64(sizeof(std::int16_t));
            const qint64 written = io_->write(reinterpret_cast<const char*>(pending_.data() + sent_), bytes);
            if (written <= 0) return;
            sent_ += std::size_t(written) / sizeof(std::int16_t);
            if (sent_ < pending_.size()) return;
            pending_.clear();
        }
    }

    void Close() {
        feed_.stop();
        io_ = nullptr;
        if (!sink_) return;
        QAudioSink* sink = sink_;
        sink_ = nullptr;
        sink->disconnect(this);
        sink->stop();
        delete sink;
    }

    // Clips end at once while no device plays them; the first failure is logged.
    void Fail(const char* what) {
        owner_.SetSilent(true);
        owner_.deviceWorked_ = false;
        if (!reported_) LogLine("Sound: %s\n", what);
        reported_ = true;
    }

    QtSoundOutput& owner_;
    QTimer feed_;
    QTimer reopen_;
    QMediaDevices devices_;
    QAudioDevice device_;
    QAudioSink* sink_ = nullptr;
    QIODevice* io_ = nullptr;
    std::vector<std::int16_t> pending_;  // rendered, not yet taken by the device
    std::size_t sent_ = 0;               // of pending_
    bool reported_ = false;
};

QtSoundOutput::QtSoundOutput() {
    thread_.setObjectName(QStringLiteral("sound"));
    stream_ = new SoundStream(*this);
    stream_->moveToThread(&thread_);
    thread_.start();
    // Opened before the first sound can be asked for: nothing waits for a device that is not there.
    QMetaObject::invokeMethod(stream_, [stream = stream_] { stream->Open(); }, Qt::BlockingQueuedConnection);
}

QtSoundOutput::~QtSoundOutput() {
    QMetaObject::invokeMethod(stream_, [stream = stream_] { stream->Shutdown(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    SetSilent(true);  // a caller still waiting for a clip returns
}

}  // namespace zark
