#include "audio/spokenwords.h"

#include <QString>
#include <cmath>
#include <map>
#include <mutex>

#include "targets/scoretext.h"

namespace zark {
namespace {

const char* FolderOf(UiLanguage language) {
    switch (language) {
        case UiLanguage::German:
            return "de";
        case UiLanguage::Swedish:
            return "sv";
        case UiLanguage::Spanish:
            return "es";
        case UiLanguage::English:
            break;
    }
    return "en";
}

// A word is read once and kept for the run; announcements of any thread may ask.
SoundPtr Recording(UiLanguage language, int id) {
    static std::mutex lock;
    static std::map<std::pair<UiLanguage, int>, SoundPtr> recordings;
    const std::lock_guard guard(lock);
    const auto key = std::pair{language, id};
    if (const auto it = recordings.find(key); it != recordings.end()) return it->second;
    SoundPtr sound =
        LoadWave(QStringLiteral(":/zark/words/%1/%2.wav").arg(QLatin1String(FolderOf(language))).arg(id));
    recordings.emplace(key, sound);
    return sound;
}

}  // namespace

int NumberWord(int k) {
    if (k == 0) return kWordZero;
    if (k >= 1 && k <= 9) return kWordTen + k;
    if (k == 10) return kWordTen;
    return 0;
}

int DirectionWord(int bearing) {
    return kWordFirstHour + ClockHour(bearing) - 1;
}

WordList DecimalAnnouncement(double score, int bearing) {
    WordList words{};
    const int points = int(score);
    words[0] = NumberWord(points);
    if (words[0] == 0) return words;
    // decimal scores carry whole tenths; the small allowance keeps 9.7 from reading as 9.69999
    const int tenth = int(std::floor(score * 10 + 1e-6)) % 10;
    words[1] = kWordFirstTenth + tenth;
    if (bearing != -1) words[2] = DirectionWord(bearing);
    return words;
}

WordList IntegerAnnouncement(int score, int bearing) {
    WordList words{};
    words[0] = NumberWord(score);
    if (words[0] != 0 && bearing != -1) words[1] = DirectionWord(bearing);
    return words;
}

SoundPtr WordSound(UiLanguage language, int id) {
    if (SoundPtr sound = Recording(language, id)) return sound;
    return language == UiLanguage::English ? nullptr : Recording(UiLanguage::English, id);
}

}  // namespace zark
