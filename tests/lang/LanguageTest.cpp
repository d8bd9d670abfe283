// SPDX-License-Identifier: GPL-3.0-or-later
// The choice of the language as gettext makes it, the translations' placeholders against their
// German messages, plural forms, and the pictures of a language.
#include "lang/Language.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------------
// Choosing

TEST(LanguageTest, ChoiceFollowsGettextsVariablesAndFallsBackToGerman) {
    struct Case {
        const char* what;
        std::string explicitLanguage;
        lang::Environment environment;
        std::string expected;
    };
    const Case cases[] = {
        {"nothing set is the C locale", "", {}, "de"},
        {"LANG names a language", "", {"", "", "", "fr_FR.UTF-8"}, "fr"},
        {"a country of its own falls back to the language", "", {"", "", "", "en_GB"}, "en"},
        {"LC_MESSAGES before LANG", "", {"", "", "nl_NL.UTF-8", "fr_FR.UTF-8"}, "nl"},
        {"LC_ALL before both", "", {"", "pl_PL.UTF-8", "nl_NL.UTF-8", "fr_FR.UTF-8"}, "pl"},
        {"LANGUAGE before the locale", "", {"it", "fr_FR.UTF-8", "", ""}, "it"},
        {"LANGUAGE's first language with a catalogue", "", {"sv:tr:fr", "", "", "C.UTF-8"}, "tr"},
        {"LANGUAGE in the C locale is ignored, as gettext does", "", {"fr", "C", "", ""}, "de"},
        {"POSIX", "", {"", "", "", "POSIX"}, "de"},
        {"C.UTF-8", "", {"", "", "", "C.UTF-8"}, "de"},
        {"German", "", {"de:fr", "", "", "de_DE.UTF-8"}, "de"},
        {"a language without a catalogue", "", {"", "", "", "sv_SE.UTF-8"}, "de"},
        {"the option wins", "es", {"fr", "", "", "fr_FR.UTF-8"}, "es"},
        {"an option without a catalogue", "xx", {"fr", "", "", "fr_FR.UTF-8"}, "de"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lang::Choose(c.explicitLanguage, c.environment, FLOEMAZE_CATALOGUE_DIR),
                  c.expected)
            << c.what;
    }
    EXPECT_EQ(lang::Choose("", {"fr", "", "", "fr_FR.UTF-8"}, "/nonexistent"), "de");
}

TEST(LanguageTest, TextsAndPluralsInTheLanguageInUseAndGermanUntouched) {
    const char* const german = "Beenden";
    EXPECT_EQ(lang::Tr(german), german) << "German is the catalogue's own text";
    lang::Use("pl", FLOEMAZE_CATALOGUE_DIR);
    EXPECT_STREQ(lang::Tr(german), "Koniec");
    std::vector<std::string> steps;
    for (const unsigned long n : {0ul, 1ul, 2ul, 4ul, 5ul, 12ul, 22ul, 25ul, 101ul}) {
        steps.push_back(lang::Format(lang::TrN("%d Schritte", "%d Schritte", n), n));
    }
    EXPECT_EQ(steps,
              (std::vector<std::string>{"0 kroków", "1 krok", "2 kroki", "4 kroki", "5 kroków",
                                        "12 kroków", "22 kroki", "25 kroków", "101 kroków"}));
    lang::Use("tr", FLOEMAZE_CATALOGUE_DIR);
    EXPECT_EQ(lang::Format(lang::Tr("Das Bild ist zu klein für seine Einzelbilder: %d × %d Pixel "
                                    "statt %lld × %lld."),
                           3, 4, 50LL, 60LL),
              "Resim kareleri için çok küçük: 50 × 60 yerine 3 × 4 piksel.")
        << "numbered placeholders reorder the numbers";
    lang::Use(lang::kGerman, FLOEMAZE_CATALOGUE_DIR);
    EXPECT_EQ(lang::Tr(german), german);
    EXPECT_EQ(lang::TrN("%d Schritte", "%d Schritte", 1), std::string("%d Schritte"));
}

TEST(LanguageTest, PicturesComeFromTheLanguagesFolderWhenItHasThem) {
    TempDir folder;
    const fs::path before = fs::current_path();
    fs::current_path(folder.Path());
    fs::create_directory("en");
    std::ofstream("en/Buttons.bmp") << "x";
    EXPECT_EQ(lang::PictureFile("Buttons.bmp"), "Buttons.bmp");
    lang::Use("en", FLOEMAZE_CATALOGUE_DIR);
    EXPECT_EQ(lang::PictureFile("Buttons.bmp"), "en/Buttons.bmp");
    EXPECT_EQ(lang::PictureFile("Logo.bmp"), "Logo.bmp");
    lang::Use(lang::kGerman, FLOEMAZE_CATALOGUE_DIR);
    EXPECT_EQ(lang::PictureFile("Buttons.bmp"), "Buttons.bmp");
    fs::current_path(before);
}

// ---------------------------------------------------------------------------------------------
// The catalogue's files

// One message of a .po file: the German text and its translations (one per plural form).
struct Entry {
    std::string msgid;
    std::string msgidPlural;
    std::vector<std::string> msgstr;
    bool fuzzy = false;
};

std::string Unquote(const std::string& line) {
    const auto first = line.find('"');
    const auto last = line.rfind('"');
    std::string text;
    for (auto i = first + 1; i < last; ++i) {
        if (line[i] != '\\') {
            text += line[i];
            continue;
        }
        const char c = line[++i];
        text += c == 'n' ? '\n' : c == 't' ? '\t' : c;
    }
    return text;
}

std::vector<Entry> ReadPo(const fs::path& path) {
    std::ifstream in(path);
    std::vector<Entry> entries;
    std::string line;
    std::string* field = nullptr;
    bool fuzzy = false;
    while (std::getline(in, line)) {
        if (line.rfind("#,", 0) == 0 && line.find("fuzzy") != std::string::npos) fuzzy = true;
        if (line.rfind("msgid ", 0) == 0) {
            entries.push_back({});
            entries.back().fuzzy = std::exchange(fuzzy, false);
            field = &entries.back().msgid;
        } else if (line.rfind("msgid_plural ", 0) == 0) {
            field = &entries.back().msgidPlural;
        } else if (line.rfind("msgstr", 0) == 0) {
            entries.back().msgstr.emplace_back();
            field = &entries.back().msgstr.back();
        } else if (line.empty() || line[0] != '"') {
            field = nullptr;
            continue;
        }
        if (field != nullptr) *field += Unquote(line);
    }
    // The header is not a message.
    if (!entries.empty() && entries.front().msgid.empty()) entries.erase(entries.begin());
    return entries;
}

std::vector<fs::path> Translations() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(FLOEMAZE_PO_DIR)) {
        if (entry.path().extension() == ".po") files.push_back(entry.path());
    }
    return files;
}

TEST(LanguageTest, EveryTranslationHasEveryMessageWithTheGermanPlaceholders) {
    std::set<std::string> german;
    for (const Entry& e : ReadPo(fs::path(FLOEMAZE_PO_DIR) / "floemaze.pot"))
        german.insert(e.msgid);
    ASSERT_GT(german.size(), 40u);
    const auto files = Translations();
    ASSERT_GE(files.size(), 7u);
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        std::set<std::string> translated;
        for (const Entry& e : ReadPo(file)) {
            SCOPED_TRACE(e.msgid);
            translated.insert(e.msgid);
            EXPECT_FALSE(e.fuzzy);
            ASSERT_FALSE(e.msgstr.empty());
            for (std::size_t form = 0; form < e.msgstr.size(); ++form) {
                const std::string& source = form > 0 ? e.msgidPlural : e.msgid;
                EXPECT_FALSE(e.msgstr[form].empty());
                EXPECT_EQ(lang::Placeholders(e.msgstr[form]), lang::Placeholders(source))
                    << e.msgstr[form];
                // A line break that opens or closes the German text keeps the layout of the box.
                EXPECT_EQ(e.msgstr[form].front() == '\n', source.front() == '\n');
                EXPECT_EQ(e.msgstr[form].back() == '\n', source.back() == '\n');
            }
        }
        EXPECT_EQ(translated, german);
    }
}

TEST(LanguageTest, PlaceholdersAreCountedByNumberAndType) {
    using Found = std::map<int, std::string>;
    EXPECT_EQ(lang::Placeholders("%d × %d statt %lld × %lld."),
              (Found{{1, "d"}, {2, "d"}, {3, "lld"}, {4, "lld"}}));
    EXPECT_EQ(lang::Placeholders("%3$lld × %4$lld yerine %1$d × %2$d, 100 %%"),
              (Found{{1, "d"}, {2, "d"}, {3, "lld"}, {4, "lld"}}));
    EXPECT_EQ(lang::Placeholders("%-5.2f %*d %"), (Found{{1, "f"}, {2, "*d"}, {3, ""}}));
    EXPECT_NE(lang::Placeholders("%1$s %2$s"), lang::Placeholders("%1$s %3$s"));
}

// A catalogue from a picture folder is input like any other: a translation whose placeholders
// would read arguments the game does not pass is not used, the German text is.
TEST(LanguageTest, ATranslationWithOtherPlaceholdersGivesTheGermanText) {
    TempDir folder;
    const std::string po = folder.File("xx.po");
    std::ofstream(po) << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                         "msgid \"Beenden\"\nmsgstr \"Stop\"\n\n"
                         "msgid \"%d Felder\"\nmsgid_plural \"%d Felder\"\n"
                         "msgstr[0] \"%s\"\nmsgstr[1] \"%n\"\n\n"
                         "msgid \"Klick auf „%s“\"\nmsgstr \"Click %s%s\"\n";
    const fs::path catalogues = fs::path(folder.Path()) / "locale";
    fs::create_directories(catalogues / "xx" / "LC_MESSAGES");
    const std::string compile = std::string(FLOEMAZE_MSGFMT) + " -o '" +
                                (catalogues / "xx" / "LC_MESSAGES" / "floemaze.mo").string() +
                                "' '" + po + "'";
    ASSERT_EQ(std::system(compile.c_str()), 0);
    lang::Use("xx", catalogues);
    EXPECT_STREQ(lang::Tr("Beenden"), "Stop");
    EXPECT_STREQ(lang::TrN("%d Felder", "%d Felder", 1), "%d Felder");
    EXPECT_STREQ(lang::TrN("%d Felder", "%d Felder", 2), "%d Felder");
    EXPECT_STREQ(lang::Tr("Klick auf „%s“"), "Klick auf „%s“");
    lang::Use(lang::kGerman, catalogues);
}

}  // namespace
