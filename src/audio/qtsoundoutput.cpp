#include "audio/qtsoundoutput.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>
#include <limits>

#include "diag/diagnostics.h"

namespace zark {

namespace {
constexpr int kReopenMs = 1000;  // after a failed or lost device
}  // namespace

// What the device pulls: as many samples of the mixer as it asks for, always.
class MixerDevice final : public QIODevice {
public:
    MixerDevice(SoundMixer& mixer, QObject* parent) : QIODevice(parent), mixer_(mixer) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return std::numeric_limits<int>::max(); }

protected:
    qint64 readData(char* data, qint64 bytes) override {
        const auto frames = int(std::min<qint64>(bytes / qint64(sizeof(std::int16_t)), 1 << 20));
        mixer_.Render(reinterpret_cast<std::int16_t*>(data), frames);
        return qint64(frames) * qint64(sizeof(std::int16_t));
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    SoundMixer& mixer_;
};

// Lives on the output's thread and owns the device.
class SoundStream final : public QObject {
public:
    explicit SoundStream(QtSoundOutput& owner) : owner_(owner), source_(owner, this), reopen_(this), devices_(this) {
        source_.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
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
        sink_->start(&source_);
        if (sink_->error() != QAudio::NoError || sink_->state() == QAudio::StoppedState) {
            Fail("the sound device cannot be opened; the program runs silently");
            Close();
            return;
        }
        owner_.deviceWorked_ = true;
        owner_.bufferMs_ = int(format.durationForBytes(sink_->bufferSize()) / 1000);
        ++owner_.opens_;
    }

    void Shutdown() {
        reopen_.stop();
        Close();
        deleteLater();
    }

private:
    void Close() {
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
    MixerDevice source_;
    QTimer reopen_;
    QMediaDevices devices_;
    QAudioDevice device_;
    QAudioSink* sink_ = nullptr;
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
