#pragma once

#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "audio/soundoutput.h"
#include "audio/spokenwords.h"

namespace zark {

// The folders the shot sounds are looked for in, in order: "Sound" in the current directory, the
// "Sound" folder beside the program (the build tree has one), and the installed one
// (<prefix>/share/zark/Sound beside <prefix>/bin). The first that exists is used.
std::vector<QString> SoundFolderCandidates();

// Plays the program's sounds into the process-wide output, where they are mixed into one stream:
// the blind-shooting tone, the shot sounds of the "Sound" folder, the spoken results, the start-up
// alert and any other short clip. The audio view, the main frame and the Customize dialog each own
// one. Used on the user-interface thread; each announcement speaks on a short-lived thread of its
// own, which touches nothing but the output.
class SoundPlayer final {
public:
    // output null: the process-wide one. The sound list is read from the first folder of
    // folders that exists.
    explicit SoundPlayer(SoundOutput* output = nullptr,
                         const std::vector<QString>& folders = SoundFolderCandidates());
    // Ends the player's announcements (a word being said is cut) and waits for their threads.
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // --- Blind-shooting tone
    // Sounds the tone of a score level: the level rounded up (9.0 → tone 9, 9.1 → tone 10, above
    // 11 → tone 11) at its frequency of the tone bank; -1 fades it out. The pitch follows at the
    // tone's next zero crossing; while words are said it holds and then goes straight to the last
    // level chosen. holdMs above 0 (replayed samples): the tone fades by itself unless a level
    // comes again within that time.
    void SelectTone(double level, int holdMs = 0);
    // Ends the tone now, also while words are said: acquisition or replay over, blind shooting off.
    void StopTone();
    int CurrentTone() const { return currentTone_; }  // the last level chosen; -1 when silent
    // The Customize dialog's "Test Sound" of the blind-shooting tones: twelve half-second tones
    // of these frequencies at amplitude 24, from the centre tone down to the peripheral one,
    // played one after the other; returns when the last has ended (six seconds). The bank is
    // not touched. Setting *cancel (and ending the clips that play) ends the sweep early.
    void PlayToneSweep(int centre, int peripheral, const std::atomic<bool>* cancel = nullptr);

    // --- Clips over the tone
    // Mixes a short sound (any PCM image: a signal, a shot sound) over the tone and whatever else
    // plays, at once, and returns its ticket for SoundOutput::WaitForClip. The tone is lowered by
    // about 6 dB while it plays and keeps its pitch; nothing is cut. A null sound plays nothing.
    std::uint64_t PlayClip(SoundPtr sound);
    // How long a clip played now takes to be heard (0 when the output does not know).
    int LatencyMs() const { return output_.LatencyMs(); }

    // --- Shot sounds
    // The base names of the WAVE files ("*.wav") of the sound folder when the player was built,
    // by name; the Customize dialog lists them after "(none)". Empty when there is no folder.
    const std::vector<std::string>& SoundNames() const { return names_; }
    // The folder they were read from; empty when none of the folders exists.
    const QString& SoundFolder() const { return folder_; }
    // Plays "<folder>/<name>.wav" as a clip, unless the name means no sound (IsNoSoundName).
    // Each file is read the first time it is played; one that cannot be played is logged once
    // and skipped. Also the Customize dialog's "Test Sound" beside each list.
    void PlayShotSound(const std::string& name);

    // --- Spoken results
    // Say a result on a thread of its own, after a second (so the shot sound is heard first), in
    // the loaded interface language, the words one after the other as recorded. Each
    // announcement keeps its own words; one that starts while another still speaks waits for it,
    // so every result is said whole and in order.
    void AnnounceDecimal(double score, int bearing);
    void AnnounceInteger(int score, int bearing);
    // Drops the announcements still waiting and cuts the one being said (a new target, a new
    // series, or results no longer wanted).
    void CancelAnnouncements();
    // The pause before the words (1000 ms).
    void SetAnnouncementDelay(std::chrono::milliseconds delay) { delay_ = delay; }
    // Waits until every announcement of the player has ended.
    void WaitForAnnouncements();
    // True while any announcement of the process runs.
    static bool Announcing();

    // --- The sound of the start-up warnings.
    void PlayAlert();

private:
    void Announce(const WordList& words);
    void Speak(std::uint64_t ticket, std::uint64_t generation, const std::vector<SoundPtr>& words);
    void ReapFinished();

    SoundOutput& output_;
    int currentTone_ = -1;
    QString folder_;
    std::vector<std::string> names_;
    std::vector<QString> files_;  // by names_
    std::map<QString, SoundPtr> loaded_;  // shot sounds read so far; null for one that cannot be played

    // Announcements: tickets give the order in which they speak.
    struct Running {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::chrono::milliseconds delay_{1000};
    std::list<Running> running_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::uint64_t nextTicket_ = 0;
    std::uint64_t speaking_ = 0;  // the ticket whose turn it is
    std::uint64_t generation_ = 0;  // announcements of an earlier one are cancelled
    std::atomic<bool> cancelled_{false};
};

}  // namespace zark
