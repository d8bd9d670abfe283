// SPDX-License-Identifier: GPL-3.0-or-later
// The game's language: every text a user sees comes from one catalogue (gettext's domain
// "floemaze"), whose messages are the German texts themselves. German needs no catalogue.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lang {

inline constexpr const char* kDomain = "floemaze";
/// The game's own language, the one its texts are written in.
inline constexpr const char* kGerman = "de";

/// Marks a German text for the catalogue where it stands in a table; Tr translates it where it is
/// shown.
constexpr const char* Mark(const char* german) {
    return german;
}

/// The variables gettext reads, in its order.
struct Environment {
    std::string language;    ///< LANGUAGE: a list of languages separated by ':'
    std::string lcAll;       ///< LC_ALL
    std::string lcMessages;  ///< LC_MESSAGES
    std::string lang;        ///< LANG
    static Environment FromProcess();
};

/// The compiled catalogues: the folder "locale" inside the picture folder, laid out as gettext
/// reads it (locale/<language>/LC_MESSAGES/floemaze.mo), in the build tree and when installed.
std::filesystem::path CatalogueFolder(const std::filesystem::path& pictureFolder);

/// The languages with a catalogue in catalogues, in alphabetical order.
std::vector<std::string> CataloguedLanguages(const std::filesystem::path& catalogues);

/// The language to show: explicit when it is not empty, otherwise the one gettext would take from
/// the environment (LANGUAGE, unless the locale is C or POSIX, then LC_ALL, LC_MESSAGES, LANG).
/// Of each name, "fr_CA.UTF-8@x" counts as fr_CA, then fr. The first with a catalogue in
/// catalogues wins; C, POSIX, German, or none with a catalogue give German.
std::string Choose(const std::string& explicitLanguage, const Environment& environment,
                   const std::filesystem::path& catalogues);

/// Shows every text from now on in language, whose catalogue lies in catalogues. For another
/// language than German it sets LANGUAGE in the process's environment, which gettext reads.
void Use(const std::string& language, const std::filesystem::path& catalogues);

/// The language in use: German until Use chooses another.
const std::string& Current();

/// The text in the language in use. A translation whose placeholders differ from the German
/// text's is not used: its numbers could not be filled in safely.
const char* Tr(const char* german);
/// The text for count n, in the plural form that the language in use needs for n.
const char* TrN(const char* singular, const char* plural, unsigned long n);
/// The printf conversions of a text by argument number: "%d × %2$s" gives {1: "d", 2: "s"}; a
/// conversion with a width or precision taken from an argument keeps its "*".
std::map<int, std::string> Placeholders(std::string_view text);
/// printf-style formatting whose pattern may number its placeholders ("%2$s"), as translations
/// do when they reorder them.
std::string Format(const char* pattern, ...);

/// Where to load a picture from: "<language>/<file>" when the language in use has its own drawing
/// of it there, otherwise file itself, so the German game reads the files it always has.
std::string PictureFile(const char* file);

}  // namespace lang
