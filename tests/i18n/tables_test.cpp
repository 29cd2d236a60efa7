// Guards of the built-in string tables: what a translator's edit must never break.
#include <algorithm>
#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <map>
#include <regex>
#include <set>

#include "i18n/uistrings.h"

namespace zark {
namespace {

constexpr UiLanguage kAll[] = {UiLanguage::English, UiLanguage::German, UiLanguage::Swedish, UiLanguage::Spanish};
constexpr UiLanguage kTranslated[] = {UiLanguage::German, UiLanguage::Swedish, UiLanguage::Spanish};

const char* NameOf(UiLanguage language) {
    switch (language) {
    case UiLanguage::English: return "English";
    case UiLanguage::German: return "German";
    case UiLanguage::Swedish: return "Swedish";
    case UiLanguage::Spanish: return "Spanish";
    }
    return "?";
}

// The ids of the original tables, and the texts the program quotes without an id.
std::vector<int> ExpectedIds() {
    std::vector<int> ids;
    for (auto [first, last] : {std::pair{1, 35}, {37, 57}, {62, 106}, {111, 167}, {174, 204}, {301, 309}, {320, 323},
                               {330, 331}, {340, 345}, {370, 373}, {380, 380}, {400, 419}, {470, 475}})  // 330-331: spoken words; 340-345: Customize; 400-419: analysis; 470-475: journal and the discard question
        for (int id = first; id <= last; ++id) ids.push_back(id);
    return ids;
}

// The English texts the rest of the program relies on, character for character.
const std::map<int, std::string>& QuotedEnglish() {
    static const std::map<int, std::string> texts = {
        {2, "not used"}, {3, "About ZARK"}, {4, "Customize"}, {5, "&File"}, {6, "&Customize..."},
        {7, "&Print\tCtrl+P"}, {8, "E&xit\tAlt+F4"}, {9, "&View"}, {10, "Zoom &1:1\tAlt+1"},
        {11, "Zoom &2:1\tAlt+2"}, {12, "Zoom &3:1\tAlt+3"}, {13, "Zoom &4:1\tAlt+4"}, {14, "&Targets"},
        {15, "&Rifle"}, {16, "&300 meter"}, {17, "&200 meter"}, {18, "&100 meter"}, {19, "&50 meter"},
        {20, "&50 meter Finale"}, {21, "&Air 10 meter"}, {22, "Air 10 meter Finale"}, {23, "&Pistol"},
        {24, "&50 meter"}, {25, "&25 meter"}, {26, "25 meter Fast"}, {27, "&Air 10 meter"},
        {28, "Air 10 meter Finale"}, {29, "&Hunt"}, {30, "Moose &5 Rings"}, {31, "&Moose 10 Rings"},
        {32, "&Roebuck"}, {33, "&Deer"}, {34, "&Boar"}, {35, "&Air 10 meter"}, {37, "&C35"}, {38, "&B45"},
        {39, "B&arrel"}, {40, "S25 &Horizontal"}, {41, "S25 &Vertical"}, {42, "&1/4"}, {43, "1/4 &Left"},
        {44, "1/4 &Right"}, {45, "&Biathlon"}, {46, "50 meter &Prone"}, {47, "50 meter &Standing"},
        {48, "&Shoot"}, {49, "Sighters &3 Shots"}, {50, "Sighters &4 Shots"}, {51, "Sighters 5 Shots"},
        {52, "Serie &4 Shots"}, {53, "Serie 4 Shots Double"}, {54, "Serie &5 Shots"}, {55, "Serie &6 Shots"},
        {56, "Serie &10 Shots"}, {57, "Serie 10 Shots Double"}, {62, "&Help"}, {63, "&About ZARK..."},
        {64, "Rifle 300 meter"}, {65, "Rifle 200 meter"}, {66, "Rifle 100 meter"}, {67, "Rifle 50 meter"},
        {68, "Rifle 50 meter Finale"}, {69, "Air Rifle 10 meter"}, {70, "Air Rifle 10 meter Finale"},
        {71, "Pistol 50 meter"}, {72, "Pistol 25 meter"}, {73, "Pistol 25 meter Fast"},
        {74, "Air Pistol 10 meter"}, {75, "Air Pistol 10 meter Finale"}, {76, "Moose 5 Rings"},
        {77, "Moose 10 Rings"}, {78, "Roebuck"}, {79, "Deer"}, {80, "Boar"}, {82, "Field C35"},
        {83, "Field B45"}, {84, "Field Barrel"}, {85, "Field S25 Horizontal"}, {86, "Field S25 Vertical"},
        {87, "Field 1/4"}, {88, "Field 1/4 Left"}, {89, "Field 1/4 Right"}, {90, "Biathlon 50 meter Prone"},
        {91, "Biathlon 50 meter Standing"}, {92, "General"}, {93, "Sound"}, {94, "ZARK"},
        {95, "Minimum Time Between Shots"}, {96, "Replay speed"}, {97, "&Line Trace"}, {98, "&Auto Replay"},
        {99, "Help &Topics\tF1"}, {100, "Rifle"}, {101, "Pistol"}, {102, "ZARK Adapter"}, {103, "(none)"},
        {104, "Replay"}, {105, "Replay After Shot"}, {106, "Replay Before Shot"}, {111, "&Delete..."},
        {112, "Save Series &Automatically"}, {113, "&OK"}, {114, "&Cancel"}, {115, "&Open...\tCtrl+O"},
        {116, "&Save...\tCtrl+S"}, {117, "ZARK Serie"}, {118, "ZARK Match"}, {119, "&Diagram\tAlt+D"},
        {120, "Diagram"}, {121, "Absolute deviation"}, {122, "Horizontal deviation"},
        {123, "Vertical deviation"}, {124, "&Center Series\tF5"}, {125, "Speed"}, {126, "Average"},
        {127, "Repla&y"}, {128, "&Continue\tF3"}, {129, "&Pause\tF3"},
        {130, "ZARK system unit is not connected"}, {131, "ZARK system unit OK"}, {134, "&New Serie\tF10"},
        {135, "Left"}, {136, "Right"}, {137, "Moving Range"}, {138, "Language"}, {139, "Tell Result"},
        {140, "Detector Distance"}, {141, "Page Set&up..."}, {142, "Shooting"}, {143, "Sighters"},
        {144, "Rearrange Windows"}, {145, "Score"}, {146, "Time"}, {147, "Direction"},
        {149, "Save Series Automatically"}, {150, "Open"}, {151, "Save"}, {152, "Print"},
        {153, "Pause/Continue Serie"}, {154, "New Serie"}, {155, "Show Diagram"}, {156, "Rearrange Windows"},
        {157, "Center Series"}, {158, "Play"}, {159, "Stop/Pause"}, {160, "Fast Forward"}, {161, "Reverse"},
        {162, "Rewind"}, {163, "Replay End"}, {164, "Pitch"}, {165, "Zoom In"}, {166, "Zoom Out"},
        {167, "Clear Pitch"}, {175, "Blind Shooting"}, {176, "Enable Blind Shooting"}, {177, "Center"},
        {178, "Peripheral"}, {179, "Air Rifle/Pistol 40 Shots"}, {180, "Air Rifle/Pistol 60 Shots"},
        {181, "Pistol 12x5 Shots"}, {182, "Pistol 6x10 Shots"}, {183, "Rifle 60 Prone"},
        {184, "Rifle Full Match"}, {185, "Rifle Half Match"}, {186, "Prone"}, {187, "Kneeling"},
        {188, "Standing"}, {189, "&Match..."}, {190, "Match"},
        {191, "Always make sure your firearm is not loaded before using ZARK."},
        {192, "Some firearms might get damaged when fired without ammunition. Make sure your firearm can be "
              "fired without ammunition."},
        {193, "Since strong sunlight can interfere with the lightbeam from the detector unit it is important "
              "that you only use ZARK indoors, or in the shadow."},
        {194, "Show &Warnings at Startup"}, {195, "&Window"}, {196, "All files"}, {197, "Delete"},
        {198, "&Close"}, {199, "&Delete"}, {200, "Delete"}, {201, "Test ZARK Adapter"}, {202, "Test Sound"},
        {203, "Options"}, {204, "Show picture at full score"},
        {301, "Error"}, {302, "Failed to open file %s"}, {303, "Demo"},
        {305, "Simulated unit: these shots do not come from your firearm"},
        {306, "Port %s was not found on this machine."}, {307, "The port is set to the simulated unit."},
        {308, "Choose the port of your unit in File > Customize, page ZARK."}, {309, "No port is set."},
    };
    return texts;
}

// The menus and dialogs whose items share one set of mnemonics. Each Shoot variant holds both
// texts of the Pause/Continue item.
const std::map<std::string, std::vector<int>>& MnemonicGroups() {
    static const std::map<std::string, std::vector<int>> groups = {
        {"menu bar", {5, 9, 14, 48, 62}},
        {"File", {115, 116, 111, 112, 6, 7, 380, 141, 8}},
        {"View", {10, 11, 12, 13, 119, 400, 144, 124, 127}},
        {"Targets", {15, 23, 29, 45}},
        {"Rifle", {16, 17, 18, 19, 20, 21, 22, 37, 38, 39, 41, 40, 42, 43, 44}},
        {"Pistol", {24, 25, 26, 27, 28}},
        {"Hunt", {30, 31, 32, 33, 34, 35}},
        {"Biathlon", {46, 47}},
        {"Help", {99, 194, 63}},
        {"Shoot (rifle)", {49, 51, 54, 56, 189, 129, 128, 134}},
        {"Shoot (hunt)", {50, 52, 53, 56, 57, 189, 129, 128, 134}},
        {"Shoot (field)", {49, 51, 55, 189, 129, 128, 134}},
        {"Shoot (biathlon)", {51, 54, 189, 129, 128, 134}},
        {"Shoot (pistol)", {49, 54, 56, 189, 129, 128, 134}},
        {"Customize dialog", {98, 97, 113, 114}},
        {"Delete dialog", {199, 198}},
    };
    return groups;
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The mnemonic characters of a text, lower case ("&&" is a plain ampersand).
std::vector<QChar> Mnemonics(const std::string& text) {
    const QString q = Q(text);
    std::vector<QChar> found;
    for (qsizetype i = 0; i + 1 < q.size(); ++i) {
        if (q[i] != '&') continue;
        if (q[i + 1] != '&') found.push_back(q[i + 1].toLower());
        ++i;
    }
    return found;
}

// The printf conversions of a text, in order ("%%" is a plain percent sign). A "%" that starts no
// conversion is returned as "%?".
std::vector<std::string> Placeholders(const std::string& text) {
    static const std::regex conversion(R"(^%(%|[-+ #0]*(\d+|\*)?(\.(\d+|\*))?(hh|h|ll|l|L|z|j|t)?[diouxXeEfgGcsp]))");
    std::vector<std::string> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        std::smatch match;
        const std::string rest = text.substr(i);
        if (!std::regex_search(rest, match, conversion)) {
            found.push_back("%?");
            continue;
        }
        if (match.str() != "%%") found.push_back(match.str());
        i += match.length() - 1;
    }
    return found;
}

TEST(Tables, ParseWithoutProblems) {
    for (const char* file : {"en", "de", "sv", "es"}) {
        QFile table(QStringLiteral(":/zark/strings/%1.txt").arg(QLatin1String(file)));
        ASSERT_TRUE(table.open(QIODevice::ReadOnly)) << file;
        const QByteArray bytes = table.readAll();
        std::vector<StringTable::Problem> problems;
        StringTable::Parse(std::string_view(bytes.constData(), std::size_t(bytes.size())), &problems);
        for (const auto& problem : problems) ADD_FAILURE() << file << ".txt line " << problem.line << ": " << problem.message;
    }
}

// Every language has exactly the ids of the English table, and that holds every id the menus,
// dialogs and messages of the first release use (later texts come on top).
TEST(Tables, EveryIdInEveryLanguage) {
    const auto english = BuiltInStringTable(UiLanguage::English).Ids();
    for (int id : ExpectedIds()) EXPECT_TRUE(std::find(english.begin(), english.end(), id) != english.end()) << id;
    for (const UiLanguage language : kAll)
        EXPECT_EQ(BuiltInStringTable(language).Ids(), english) << NameOf(language);
}

TEST(Tables, EnglishTextsAreTheQuotedOnes) {
    const StringTable& english = BuiltInStringTable(UiLanguage::English);
    for (const auto& [id, text] : QuotedEnglish()) EXPECT_EQ(english.Text(id), text) << "string " << id;
    // The About box: the first two lines are fixed, the version goes into the second.
    EXPECT_EQ(english.Text(174).rfind("ZARK Target Practice Computer\r\nVersion %s\r\n", 0), 0u);
    for (const int id : ExpectedIds()) EXPECT_FALSE(english.Text(id).empty()) << "string " << id;
}

TEST(Tables, FixedExamplesOfTheTranslations) {
    EXPECT_EQ(LookupString(UiLanguage::German, 5), "&Archiv");
    EXPECT_EQ(LookupString(UiLanguage::German, 103), "(Ruhe)");
    EXPECT_EQ(LookupString(UiLanguage::Swedish, 5), "&Arkiv");
    EXPECT_EQ(LookupString(UiLanguage::Swedish, 103), "(tyst)");
    EXPECT_EQ(LookupString(UiLanguage::Spanish, 5), "&Archivo");
    EXPECT_EQ(LookupString(UiLanguage::Spanish, 103), "(nada)");
    // the sport's own words
    EXPECT_EQ(LookupString(UiLanguage::German, 143), "Probeschüsse");
    EXPECT_EQ(LookupString(UiLanguage::Swedish, 143), "Provskott");
    EXPECT_EQ(LookupString(UiLanguage::Spanish, 143), "Tiros de ensayo");
    EXPECT_EQ(LookupString(UiLanguage::German, 186), "Liegend");
    EXPECT_EQ(LookupString(UiLanguage::German, 188), "Stehend");
    EXPECT_EQ(LookupString(UiLanguage::German, 187), "Kniend");
}

TEST(Tables, TranslationsKeepThePlaceholders) {
    const StringTable& english = BuiltInStringTable(UiLanguage::English);
    int withPlaceholders = 0;
    for (const int id : ExpectedIds()) {
        const auto expected = Placeholders(english.Text(id));
        EXPECT_EQ(std::count(expected.begin(), expected.end(), "%?"), 0) << "string " << id;
        withPlaceholders += !expected.empty();
        for (const UiLanguage language : kTranslated)
            EXPECT_EQ(Placeholders(LookupString(language, id)), expected) << NameOf(language) << " string " << id;
    }
    // 174, 302, 306, 321, the port texts 341-343, 370 to 373, the analysis texts 403, 407, 412-414, 416, 417,
    // and the journal's 470-472
    EXPECT_EQ(withPlaceholders, 21);
}

TEST(Tables, PlaceholderCheckSeesOrderAndStrays) {
    EXPECT_EQ(Placeholders("%s and %2d, 100%% %-5.1f"), (std::vector<std::string>{"%s", "%2d", "%-5.1f"}));
    EXPECT_NE(Placeholders("%d %s"), Placeholders("%s %d"));
    EXPECT_EQ(Placeholders("50% (stray)"), (std::vector<std::string>{"%?"}));
    EXPECT_EQ(Placeholders("50% off"), (std::vector<std::string>{"% o"}));  // printf reads a conversion here
}

TEST(Tables, MnemonicsAreUniqueWithinEachMenuOfTheTranslations) {
    for (const UiLanguage language : kTranslated) {
        for (const auto& [menu, ids] : MnemonicGroups()) {
            std::map<QChar, int> seen;
            for (const int id : ids) {
                const auto marks = Mnemonics(LookupString(language, id));
                EXPECT_LE(marks.size(), 1u) << NameOf(language) << " string " << id;
                for (const QChar mark : marks) {
                    const auto [it, fresh] = seen.emplace(mark, id);
                    EXPECT_TRUE(fresh) << NameOf(language) << " " << menu << ": strings " << it->second << " and "
                                       << id << " share the mnemonic " << QString(mark).toStdString();
                }
            }
        }
    }
}

TEST(Tables, EnglishMnemonicClashesAreOnlyTheQuotedOnes) {
    // The English texts are kept exactly as quoted; four pairs of them share a mnemonic (the menu
    // then cycles between the two items). No other clash may creep in.
    const std::set<std::pair<int, int>> known = {{18, 42}, {19, 20}, {21, 39}, {50, 52}};
    std::set<std::pair<int, int>> clashes;
    for (const auto& [menu, ids] : MnemonicGroups()) {
        std::map<QChar, int> seen;
        for (const int id : ids) {
            const auto marks = Mnemonics(LookupString(UiLanguage::English, id));
            EXPECT_LE(marks.size(), 1u) << "string " << id;
            for (const QChar mark : marks) {
                const auto [it, fresh] = seen.emplace(mark, id);
                if (!fresh) clashes.insert(std::minmax(it->second, id));
            }
        }
    }
    EXPECT_EQ(clashes, known);
}

TEST(Tables, ShortcutLabelsMatchTheKeys) {
    for (const int id : ExpectedIds()) {
        const std::string english = LookupString(UiLanguage::English, id);
        const std::size_t tab = english.find('\t');
        for (const UiLanguage language : kTranslated) {
            const std::string text = LookupString(language, id);
            const std::size_t own = text.find('\t');
            ASSERT_EQ(own == std::string::npos, tab == std::string::npos) << NameOf(language) << " string " << id;
            if (tab == std::string::npos) continue;
            QString label = Q(text.substr(own + 1));
            label.replace(QStringLiteral("Strg"), QStringLiteral("Ctrl"));  // the German key name
            EXPECT_EQ(label.toStdString(), english.substr(tab + 1)) << NameOf(language) << " string " << id;
        }
    }
}

TEST(Tables, TextsFitTheProgramsFields) {
    for (const UiLanguage language : kAll) {
        for (const int id : ExpectedIds()) {
            const std::string text = LookupString(language, id);
            EXPECT_FALSE(text.empty()) << NameOf(language) << " string " << id;
            EXPECT_LT(Q(text).size(), 256) << NameOf(language) << " string " << id;
            EXPECT_LT(text.size(), 256u) << NameOf(language) << " string " << id << " does not fit a record field";
            EXPECT_EQ(text.find('\0'), std::string::npos);
        }
    }
}

TEST(Tables, TestProgrammeTitleIsTheSameEverywhere) {
    for (const UiLanguage language : kAll) EXPECT_EQ(LookupString(language, kUiTextDemo), "Demo");
}

TEST(Tables, LettersOfEachLanguageSurvive) {
    EXPECT_TRUE(Q(LookupString(UiLanguage::Spanish, 192)).contains(QChar(0x00F1)));  // ñ
    EXPECT_EQ(Q(LookupString(UiLanguage::Swedish, 115)).at(1), QChar(0x00D6));      // Ö
    EXPECT_EQ(Q(LookupString(UiLanguage::German, 3)).at(0), QChar(0x00DC));         // Ü
    EXPECT_EQ(Q(LookupString(UiLanguage::German, 123)).right(4), QStringLiteral("H\u00f6he"));
}

TEST(Tables, LookupOfIdsWithoutText) {
    EXPECT_EQ(LookupString(UiLanguage::German, 2), "nicht verwendet");
    EXPECT_EQ(LookupString(UiLanguage::Spanish, 36), "");
    EXPECT_EQ(LookupString(UiLanguage::English, 5000), "");
    EXPECT_EQ(LookupString(UiLanguage::Swedish, -3), "");
}

}  // namespace
}  // namespace zark
