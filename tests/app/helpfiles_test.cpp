// The help files as compiled into the program: every language has the whole help (the English
// file's sections, in its order), quotes the start-up warnings from its own string table word for
// word, names the program as its About box does, has the same shortcut table, and every menu path
// it quotes ("File > Customize...") is made of the menu texts of its own table.
#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "app/framerules.h"
#include "i18n/uistrings.h"

namespace zark {
namespace {

struct HelpLanguage {
    std::uint16_t langId;
    UiLanguage language;
    const char* name;
};

void PrintTo(const HelpLanguage& lang, std::ostream* os) { *os << lang.name; }

constexpr HelpLanguage kLanguages[] = {{1033, UiLanguage::English, "English"},
                                       {1031, UiLanguage::German, "German"},
                                       {1053, UiLanguage::Swedish, "Swedish"},
                                       {3082, UiLanguage::Spanish, "Spanish"}};

QString HelpHtml(std::uint16_t langId) {
    const QString name = QString::fromStdString(HelpFileName(langId, QLocale(QLocale::English, QLocale::UnitedStates)));
    QFile file(QStringLiteral(":/zark/help/") + name);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

// The text a reader sees: tags dropped, the entities the files use decoded, white space as single
// spaces.
QString Plain(QString html) {
    html.replace(QRegularExpression(QStringLiteral("<[^>]*>")), QStringLiteral(" "));
    html.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    html.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    html.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    html.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    html.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return html.simplified();
}

QStringList Captures(const QString& html, const QString& pattern) {
    QStringList found;
    auto it = QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption).globalMatch(html);
    while (it.hasNext()) found << it.next().captured(1);
    return found;
}

// The anchor names of the <h2> headings, in order.
QStringList SectionIds(const QString& html) { return Captures(html, QStringLiteral("<h2[^>]*>\\s*<a name=\"([^\"]+)\">")); }

// The html of one section: from its heading to the next.
QString Section(const QString& html, const QString& id) {
    const qsizetype start = html.indexOf(QStringLiteral("<a name=\"%1\">").arg(id));
    if (start < 0) return {};
    const qsizetype end = html.indexOf(QStringLiteral("<h2"), start);
    return html.mid(start, end < 0 ? -1 : end - start);
}

// A menu text as the reader sees it: no mnemonic mark, no shortcut label.
QString MenuText(const std::string& text) {
    QString q = QString::fromStdString(text);
    q = q.left(q.indexOf(QLatin1Char('\t')));
    q.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    q.remove(QLatin1Char('&'));
    q.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return q;
}

// For readable failure messages.
std::vector<std::string> Std(const QStringList& list) {
    std::vector<std::string> out;
    for (const QString& s : list) out.push_back(s.toStdString());
    return out;
}

class HelpFilesTest : public ::testing::TestWithParam<HelpLanguage> {};

TEST_P(HelpFilesTest, HasTheEnglishSectionsInOrderAndListsThemAll) {
    const HelpLanguage lang = GetParam();
    const QString html = HelpHtml(lang.langId);
    ASSERT_FALSE(html.isEmpty()) << lang.name;
    const QStringList english = SectionIds(HelpHtml(1033));
    ASSERT_GE(english.size(), 15);
    EXPECT_EQ(Std(SectionIds(html)), Std(english)) << lang.name;
    // The contents list links every section but itself, in the same order.
    QStringList linked = Captures(Section(html, QStringLiteral("contents")), QStringLiteral("<a href=\"#([^\"]+)\">"));
    EXPECT_EQ(Std(linked), Std(english.mid(1))) << lang.name;
    EXPECT_EQ(english.front(), QStringLiteral("contents"));
    // Every link inside the help leads to a section.
    for (const QString& target : Captures(html, QStringLiteral("<a href=\"#([^\"]+)\">")))
        EXPECT_TRUE(english.contains(target)) << lang.name << " links to #" << target.toStdString();
    // Each section says something of its own, not a heading alone.
    for (const QString& id : english)
        EXPECT_GT(Plain(Section(html, id)).size(), 80) << lang.name << " section " << id.toStdString();
}

// The help window finds each section: the toolkit's reading of the file carries every anchor.
TEST_P(HelpFilesTest, TheHelpWindowCanJumpToEverySection) {
    const HelpLanguage lang = GetParam();
    QTextDocument document;
    document.setHtml(HelpHtml(lang.langId));
    QStringList anchors;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) anchors << it.fragment().charFormat().anchorNames();
    for (const QString& id : SectionIds(HelpHtml(1033)))
        EXPECT_TRUE(anchors.contains(id)) << lang.name << " #" << id.toStdString();
}

TEST_P(HelpFilesTest, SafetySectionQuotesTheStartUpWarningsOfItsOwnTable) {
    const HelpLanguage lang = GetParam();
    const QString safety = Plain(Section(HelpHtml(lang.langId), QStringLiteral("safety")));
    for (int id : {191, 192, 193}) {
        const QString warning = QString::fromStdString(LookupString(lang.language, id)).simplified();
        ASSERT_FALSE(warning.isEmpty());
        EXPECT_TRUE(safety.contains(warning)) << lang.name << " help does not quote string " << id << ": "
                                              << warning.toStdString();
    }
    // The check item that hides them is named as the Help menu names it.
    EXPECT_TRUE(safety.contains(MenuText(LookupString(lang.language, 194)))) << lang.name;
}

TEST_P(HelpFilesTest, NamesTheProgramAsTheAboutBoxDoes) {
    const HelpLanguage lang = GetParam();
    const QString html = HelpHtml(lang.langId);
    const QString about = QString::fromStdString(LookupString(lang.language, 174));
    const QStringList headings = Captures(html, QStringLiteral("<h1>(.*)</h1>"));
    ASSERT_EQ(headings.size(), 1) << lang.name;
    EXPECT_EQ(Plain(headings.front()).toStdString(), about.left(about.indexOf(QStringLiteral("\r\n"))).toStdString())
        << lang.name;
    EXPECT_TRUE(html.contains(QStringLiteral("<html lang=\"%1\">").arg(QLatin1String(lang.langId == 1033   ? "en"
                                                                                   : lang.langId == 1031 ? "de"
                                                                                   : lang.langId == 1053 ? "sv"
                                                                                                         : "es"))))
        << lang.name;
}

TEST_P(HelpFilesTest, ShortcutTableHasEveryKeyOfTheEnglishOne) {
    const HelpLanguage lang = GetParam();
    const auto keys = [](const QString& html) {
        QStringList found = Captures(Section(html, QStringLiteral("keys")), QStringLiteral("<td class=\"key\">([^<]*)</td>"));
        found.replaceInStrings(QStringLiteral("Strg+"), QStringLiteral("Ctrl+"));  // the German key name
        return found;
    };
    const QStringList english = keys(HelpHtml(1033));
    for (const char* key : {"Ctrl+O", "Ctrl+S", "Ctrl+P", "F1", "F3", "F5", "F10", "Alt+D"})
        EXPECT_TRUE(english.contains(QLatin1String(key))) << key;
    EXPECT_EQ(Std(keys(HelpHtml(lang.langId))), Std(english)) << lang.name;
}

// A quoted menu path is a bold run with "&gt;" in it; its first step is a menu of the bar and every
// step a menu text of the file's own table, so a renamed item cannot leave the help behind.
TEST_P(HelpFilesTest, MenuPathsAreTheMenuTextsOfItsOwnTable) {
    const HelpLanguage lang = GetParam();
    std::set<QString> bar;
    for (int id : {5, 9, 14, 48, 62}) bar.insert(MenuText(LookupString(lang.language, id)));
    std::set<QString> items;
    for (int id = 1; id <= 400; ++id) {  // 400: View > Analysis
        const std::string text = LookupString(lang.language, id);
        if (!text.empty()) items.insert(MenuText(text));
    }
    for (int id : {500, 501, 502, 529}) items.insert(MenuText(LookupString(lang.language, id)));  // the windows, Timed Series
    items.insert(MenuText(LookupString(lang.language, 440)));  // View > Progress...
    items.insert(MenuText(LookupString(lang.language, 660)));  // View > Range...
    int paths = 0;
    for (const QString& bold : Captures(HelpHtml(lang.langId), QStringLiteral("<b>([^<]*&gt;[^<]*)</b>"))) {
        const QStringList steps = Plain(bold).split(QStringLiteral(" > "));
        ASSERT_GE(steps.size(), 2) << lang.name << ": " << bold.toStdString();
        EXPECT_TRUE(bar.count(steps.front())) << lang.name << ": " << steps.front().toStdString() << " is no menu";
        for (const QString& step : steps)
            EXPECT_TRUE(items.count(step)) << lang.name << ": \"" << step.toStdString() << "\" in "
                                           << Plain(bold).toStdString() << " is no menu text of the table";
        ++paths;
    }
    EXPECT_GE(paths, 15) << lang.name;
}

// The analysis section names the window's columns as its own table titles them and the menu item
// that opens it.
TEST_P(HelpFilesTest, AnalysisSectionNamesTheColumnsOfItsOwnTable) {
    const HelpLanguage lang = GetParam();
    const QString analysis = Plain(Section(HelpHtml(lang.langId), QStringLiteral("analysis")));
    const auto text = [&](int id) { return QString::fromStdString(LookupString(lang.language, id)); };
    const QStringList titles{text(403).replace(QStringLiteral("%d"), QStringLiteral("10")),
                             text(403).replace(QStringLiteral("%d"), QStringLiteral("9")), text(404), text(405),
                             text(406)};
    for (const QString& title : titles)
        EXPECT_TRUE(analysis.contains(title)) << lang.name << ": " << title.toStdString();
    EXPECT_TRUE(analysis.contains(MenuText(LookupString(lang.language, 9)) + QStringLiteral(" > ") +
                                  MenuText(LookupString(lang.language, 400))))
        << lang.name;
}

TEST(HelpFiles, PlainTextAndMenuTextsReadAsShown) {
    EXPECT_EQ(Plain(QStringLiteral("<b>File &gt;\n  Save...</b> (<span>Ctrl+S</span>)")), QStringLiteral("File > Save... ( Ctrl+S )"));
    EXPECT_EQ(MenuText("&Open...\tCtrl+O"), QStringLiteral("Open..."));
    EXPECT_EQ(MenuText("Black && &White"), QStringLiteral("Black & White"));
    EXPECT_EQ(SectionIds(QStringLiteral("<h2><a name=\"a\"></a>A</h2><h2>\n<a name=\"b\"></a>B</h2>")),
              (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

INSTANTIATE_TEST_SUITE_P(EveryLanguage, HelpFilesTest, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<HelpLanguage>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zark
