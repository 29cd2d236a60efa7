#include "audio/soundplayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <system_error>

#include "audio/soundmixer.h"
#include "audio/tonebank.h"
#include "diag/diagnostics.h"
#include "i18n/uistrings.h"

namespace zark {
namespace {

constexpr const char* kSoundFolder = "Sound";

std::atomic<int> g_announcements{0};

// The words of an announcement as one clip, so they follow each other as recorded with no gap a
// thread's wake-up could add; null when they differ in form (each is then played by itself).
SoundPtr Joined(const std::vector<SoundPtr>& words) {
    auto joined = std::make_shared<PcmSound>();
    joined->sampleRate = words.front()->sampleRate;
    joined->channels = words.front()->channels;
    for (const SoundPtr& word : words) {
        if (word->sampleRate != joined->sampleRate || word->channels != joined->channels) return nullptr;
        joined->samples.insert(joined->samples.end(), word->samples.begin(), word->samples.end());
    }
    return joined;
}

}  // namespace

std::vector<QString> SoundFolderCandidates() {
    std::vector<QString> folders{QDir::current().absoluteFilePath(QLatin1String(kSoundFolder))};
    if (QCoreApplication::instance()) {
        const QDir program(QCoreApplication::applicationDirPath());
        folders.push_back(program.absoluteFilePath(QLatin1String(kSoundFolder)));
        folders.push_back(QDir::cleanPath(program.absoluteFilePath(QStringLiteral("../share/zark/Sound"))));
    }
    return folders;
}

SoundPlayer::SoundPlayer(SoundOutput* output, const std::vector<QString>& folders)
    : output_(output ? *output : ProcessSoundOutput()) {
    for (const QString& folder : folders) {
        const QDir dir(folder);
        if (!dir.exists()) continue;
        folder_ = dir.absolutePath();
        const QFileInfoList files = dir.entryInfoList({QStringLiteral("*.wav")}, QDir::Files | QDir::Readable,
                                                      QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo& file : files) {
            names_.push_back(file.completeBaseName().toStdString());  // cut at the last "."
            files_.push_back(file.absoluteFilePath());
        }
        break;
    }
}

SoundPlayer::~SoundPlayer() {
    ReapFinished();
    cancelled_ = true;
    {
        const std::lock_guard lock(mutex_);
        wake_.notify_all();
    }
    if (!running_.empty()) output_.StopClips(ClipKind::Voice);
    for (Running& announcement : running_) announcement.thread.join();
}

void SoundPlayer::SelectTone(double level, int holdMs) {
    int n = int(level);
    if (level - n > 0) ++n;
    n = std::min(n, kToneCount - 1);
    // A held tone is renewed by every sample; a live one changes only with its level.
    if (n == currentTone_ && holdMs <= 0) return;
    currentTone_ = n;
    if (n >= 0)
        output_.SetTone(ToneBankFrequency(n), ToneBankAmplitude(), holdMs);
    else
        output_.SetTone(0, 0, 0);
}

void SoundPlayer::StopTone() {
    currentTone_ = -1;
    output_.StopTone();
}

void SoundPlayer::PlayToneSweep(int centre, int peripheral, const std::atomic<bool>* cancel) {
    constexpr int kSweepToneMs = 500;
    for (int d = kToneCount - 1; d >= 0 && !(cancel && cancel->load()); --d)
        output_.PlayAndWait(SineClip(ToneFrequency(centre, peripheral, d), kToneSweepAmplitude * 256, kSweepToneMs));
}

std::uint64_t SoundPlayer::PlayClip(SoundPtr sound) {
    return output_.PlayClip(std::move(sound), ClipKind::Effect);
}

void SoundPlayer::PlayShotSound(const std::string& name) {
    if (IsNoSoundName(name)) return;
    QString path;
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (names_[i] == name) path = files_[i];
    if (path.isEmpty())
        path = QDir(folder_.isEmpty() ? QLatin1String(kSoundFolder) : folder_)
                   .absoluteFilePath(QString::fromStdString(name) + QStringLiteral(".wav"));
    // Read once: a shot does not wait for the disk.
    auto [it, fresh] = loaded_.try_emplace(path);
    if (fresh) {
        std::string why;
        it->second = LoadWave(path, &why);
        if (!it->second)
            LogLine("The sound '%s' cannot be played: %s\n", path.toLocal8Bit().constData(), why.c_str());
    }
    if (it->second) PlayClip(it->second);
}

void SoundPlayer::AnnounceDecimal(double score, int bearing) {
    Announce(DecimalAnnouncement(score, bearing));
}

void SoundPlayer::AnnounceInteger(int score, int bearing) {
    Announce(IntegerAnnouncement(score, bearing));
}

bool SoundPlayer::Announcing() {
    return g_announcements.load() > 0;
}

void SoundPlayer::Announce(const WordList& words) {
    ReapFinished();
    // The thread gets its own copy of its words: a later announcement never changes them.
    std::vector<SoundPtr> sounds;
    const UiLanguage language = ActiveUiLanguage();
    for (const int id : words) {
        if (id == 0) break;
        if (SoundPtr sound = WordSound(language, id)) sounds.push_back(std::move(sound));
    }
    if (sounds.empty()) return;  // nothing to say
    std::uint64_t ticket = 0;
    std::uint64_t generation = 0;
    {
        const std::lock_guard lock(mutex_);
        ticket = nextTicket_++;
        generation = generation_;
    }
    ++g_announcements;
    auto done = std::make_shared<std::atomic<bool>>(false);
    try {
        running_.push_back(Running{std::thread([this, ticket, generation, done, sounds = std::move(sounds)] {
                                       Speak(ticket, generation, sounds);
                                       --g_announcements;
                                       *done = true;
                                   }),
                                   done});
    } catch (const std::system_error& error) {
        // no thread, nothing said; the next announcement takes the unused turn
        --g_announcements;
        ReportError(error.code().value(), "cannot start an announcement");
        const std::lock_guard lock(mutex_);
        nextTicket_ = ticket;
    }
}

void SoundPlayer::Speak(std::uint64_t ticket, std::uint64_t generation, const std::vector<SoundPtr>& words) {
    std::unique_lock lock(mutex_);
    const auto dropped = [&] { return cancelled_ || generation_ != generation; };
    wake_.wait_for(lock, delay_, dropped);
    wake_.wait(lock, [&] { return dropped() || speaking_ == ticket; });
    if (const SoundPtr joined = Joined(words); joined && !dropped()) {
        // started under the lock: a cancellation either comes first or stops this clip
        const std::uint64_t clip = output_.PlayClip(joined, ClipKind::Voice);
        lock.unlock();
        output_.WaitForClip(clip);
        lock.lock();
    } else {
        for (const SoundPtr& word : words) {
            if (dropped()) break;
            const std::uint64_t clip = output_.PlayClip(word, ClipKind::Voice);
            lock.unlock();
            output_.WaitForClip(clip);
            lock.lock();
        }
    }
    speaking_ = std::max(speaking_, ticket + 1);
    wake_.notify_all();
}

void SoundPlayer::CancelAnnouncements() {
    {
        const std::lock_guard lock(mutex_);
        ++generation_;
        speaking_ = nextTicket_;  // every ticket given so far has had its turn
        wake_.notify_all();
    }
    output_.StopClips(ClipKind::Voice);
}

void SoundPlayer::ReapFinished() {
    for (auto it = running_.begin(); it != running_.end();) {
        if (*it->done) {
            it->thread.join();
            it = running_.erase(it);
        } else {
            ++it;
        }
    }
}

void SoundPlayer::WaitForAnnouncements() {
    for (Running& announcement : running_) announcement.thread.join();
    running_.clear();
}

void SoundPlayer::PlayAlert() {
    static const SoundPtr alert = LoadWave(QStringLiteral(":/zark/audio/exclamation.wav"));
    PlayClip(alert);
}

}  // namespace zark
