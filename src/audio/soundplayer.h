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

// Plays the program's sounds through the process-wide output: the blind-shooting tone, the shot
// sounds of the "Sound" folder, the spoken results and the start-up alert. The audio view, the
// main frame and the Customize dialog each own one. Used on the user-interface thread; each
// announcement speaks on a short-lived thread of its own, which touches nothing but the output.
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
    // Plays the tone of a score level: the level rounded up (9.0 → tone 9, 9.1 → tone 10, above
    // 11 → tone 11), looped; -1 silences. Nothing changes while an announcement runs, nor for the
    // level of the tone already chosen (a tone another sound has ended stays ended until then).
    void SelectTone(double level);
    int CurrentTone() const { return currentTone_; }  // -1 when silent
    // The Customize dialog's "Test Sound" of the blind-shooting tones: twelve half-second tones
    // of these frequencies at amplitude 24, from the centre tone down to the peripheral one,
    // played one after the other; returns when the last has ended (six seconds). The bank is
    // not touched. Setting *cancel (and ending the sound that plays) ends the sweep early.
    void PlayToneSweep(int centre, int peripheral, const std::atomic<bool>* cancel = nullptr);

    // --- Shot sounds
    // The base names of the WAVE files ("*.wav") of the sound folder when the player was built,
    // by name; the Customize dialog lists them after "(none)". Empty when there is no folder.
    const std::vector<std::string>& SoundNames() const { return names_; }
    // The folder they were read from; empty when none of the folders exists.
    const QString& SoundFolder() const { return folder_; }
    // Plays "<folder>/<name>.wav" at once (ending what plays), unless the name means no sound.
    // Each file is read the first time it is played; one that cannot be played is logged once
    // and skipped. Also the Customize dialog's "Test Sound" beside each list.
    void PlayShotSound(const std::string& name);
    // True for the text of string 103 ("(none)") in any of the interface languages, and the empty name.
    static bool IsNoSound(const std::string& name);

    // --- Spoken results
    // Say a result on a thread of its own, after a second (so the shot sound is heard first), in
    // the loaded interface language. Each announcement keeps its own words; one that starts while
    // another still speaks waits for it, so every result is said whole and in order.
    void AnnounceDecimal(double score, int bearing);
    void AnnounceInteger(int score, int bearing);
    // The pause before the words (1000 ms).
    void SetAnnouncementDelay(std::chrono::milliseconds delay) { delay_ = delay; }
    // Waits until every announcement of the player has ended.
    void WaitForAnnouncements();
    // True while any announcement of the process runs: the blind-shooting tone stays as it is.
    static bool Announcing();

    // --- The sound of the start-up warnings.
    void PlayAlert();

private:
    void Announce(const WordList& words);
    void Speak(std::uint64_t ticket, const std::vector<SoundPtr>& words);
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
    std::atomic<bool> cancelled_{false};
};

}  // namespace zark
