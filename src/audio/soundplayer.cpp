#include "audio/soundplayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <system_error>

#include "audio/tonebank.h"
#include "diag/diagnostics.h"
#include "i18n/uistrings.h"

namespace zark {
namespace {

constexpr int kNoSoundText = 103;  // "(none)"
constexpr const char* kSoundFolder = "Sound";

std::atomic<int> g_announcements{0};

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
    if (!running_.empty()) output_.Stop();
    for (Running& announcement : running_) announcement.thread.join();
}

void SoundPlayer::SelectTone(double level) {
    if (Announcing()) return;
    int n = int(level);
    if (level - n > 0) ++n;
    n = std::min(n, kToneCount - 1);
    if (n == currentTone_) return;
    currentTone_ = n;
    if (n >= 0)
        output_.Play(ToneSound(n), true);
    else
        output_.Stop();
}

void SoundPlayer::PlayToneSweep(int centre, int peripheral, const std::atomic<bool>* cancel) {
    auto images = std::make_unique<ToneImages>();
    BuildToneImages(*images, centre, peripheral, kToneSweepAmplitude);
    for (int d = kToneCount - 1; d >= 0 && !(cancel && cancel->load()); --d)
        output_.PlayAndWait(SoundOfToneImage((*images)[std::size_t(d)]));
}

bool SoundPlayer::IsNoSound(const std::string& name) {
    if (name.empty() || name == UiText(kNoSoundText)) return true;
    for (const UiLanguage language :
         {UiLanguage::English, UiLanguage::German, UiLanguage::Swedish, UiLanguage::Spanish})
        if (name == LookupString(language, kNoSoundText)) return true;
    return false;
}

void SoundPlayer::PlayShotSound(const std::string& name) {
    if (IsNoSound(name)) return;
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
    if (it->second) output_.Play(it->second, false);
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
    {
        const std::lock_guard lock(mutex_);
        ticket = nextTicket_++;
    }
    ++g_announcements;  // the tone stays as it is from the shot on
    auto done = std::make_shared<std::atomic<bool>>(false);
    try {
        running_.push_back(Running{std::thread([this, ticket, done, sounds = std::move(sounds)] {
                                       Speak(ticket, sounds);
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

void SoundPlayer::Speak(std::uint64_t ticket, const std::vector<SoundPtr>& words) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, delay_, [this] { return cancelled_.load(); });
    wake_.wait(lock, [this, ticket] { return cancelled_ || speaking_ == ticket; });
    lock.unlock();
    for (const SoundPtr& word : words) {
        if (cancelled_) break;
        output_.PlayAndWait(word);
    }
    lock.lock();
    speaking_ = ticket + 1;
    wake_.notify_all();
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
    output_.Play(alert, false);
}

}  // namespace zark
