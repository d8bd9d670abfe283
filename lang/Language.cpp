// SPDX-License-Identifier: GPL-3.0-or-later
#include "lang/Language.h"

#include <libintl.h>

#include <algorithm>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace lang {
namespace {

std::string& InUse() {
    static std::string language = kGerman;
    return language;
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool HasCatalogue(const std::filesystem::path& catalogues, const std::string& language) {
    std::error_code error;
    return std::filesystem::is_regular_file(
        catalogues / language / "LC_MESSAGES" / (std::string(kDomain) + ".mo"), error);
}

// "fr_CA.UTF-8@x" → fr_CA, fr.
std::vector<std::string> Candidates(std::string_view name) {
    name = name.substr(0, name.find_first_of(".@"));
    std::vector<std::string> candidates{std::string(name)};
    if (const auto underscore = name.find('_'); underscore != std::string_view::npos) {
        candidates.emplace_back(name.substr(0, underscore));
    }
    return candidates;
}

// The catalogue's text when it takes the same arguments as the German one, otherwise the German.
const char* Checked(const char* translated, const char* german) {
    if (translated == german || Placeholders(translated) == Placeholders(german)) {
        return translated;
    }
    return german;
}

bool IsPlain(std::string_view locale) {
    return locale == "C" || locale == "POSIX";
}

}  // namespace

Environment Environment::FromProcess() {
    return {Variable("LANGUAGE"), Variable("LC_ALL"), Variable("LC_MESSAGES"), Variable("LANG")};
}

std::filesystem::path CatalogueFolder(const std::filesystem::path& pictureFolder) {
    return pictureFolder / "locale";
}

std::vector<std::string> CataloguedLanguages(const std::filesystem::path& catalogues) {
    std::vector<std::string> languages;
    std::error_code error;
    for (std::filesystem::directory_iterator it(catalogues, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (HasCatalogue(catalogues, name)) languages.push_back(name);
    }
    std::sort(languages.begin(), languages.end());
    return languages;
}

std::string Choose(const std::string& explicitLanguage, const Environment& environment,
                   const std::filesystem::path& catalogues) {
    std::vector<std::string> names;
    if (!explicitLanguage.empty()) {
        names.push_back(explicitLanguage);
    } else {
        std::string locale = !environment.lcAll.empty()        ? environment.lcAll
                             : !environment.lcMessages.empty() ? environment.lcMessages
                                                               : environment.lang;
        // gettext ignores LANGUAGE when the locale is C: programs in a plain locale stay plain.
        if (locale.empty() || IsPlain(locale)) return kGerman;
        std::string_view list = environment.language;
        while (!list.empty()) {
            const auto colon = list.find(':');
            if (colon != 0) names.emplace_back(list.substr(0, colon));
            list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
        }
        if (names.empty()) names.push_back(locale);
    }
    for (const std::string& name : names) {
        for (const std::string& candidate : Candidates(name)) {
            if (IsPlain(candidate) || candidate == kGerman) return kGerman;
            if (HasCatalogue(catalogues, candidate)) return candidate;
        }
    }
    return kGerman;
}

void Use(const std::string& language, const std::filesystem::path& catalogues) {
    InUse() = language;
    if (language == kGerman) return;
    // gettext looks at LANGUAGE only outside the C locale; the locale the user names may not be
    // installed, and C.UTF-8 always is.
    const char* messages = std::setlocale(LC_MESSAGES, "");
    if (messages == nullptr || IsPlain(messages)) std::setlocale(LC_MESSAGES, "C.UTF-8");
    setenv("LANGUAGE", language.c_str(), 1);
    bindtextdomain(kDomain, catalogues.c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
}

const std::string& Current() {
    return InUse();
}

const char* Tr(const char* german) {
    // German is the catalogue's own text: no look-up, not even of the locale.
    if (InUse() == kGerman) return german;
    return Checked(dgettext(kDomain, german), german);
}

const char* TrN(const char* singular, const char* plural, unsigned long n) {
    const char* german = n == 1 ? singular : plural;
    if (InUse() == kGerman) return german;
    return Checked(dngettext(kDomain, singular, plural, n), german);
}

std::map<int, std::string> Placeholders(std::string_view text) {
    std::map<int, std::string> found;
    int next = 1;
    const auto digit = [&text](std::size_t i) {
        return i < text.size() && text[i] >= '0' && text[i] <= '9';
    };
    const auto oneOf = [&text](std::size_t i, std::string_view set) {
        return i < text.size() && set.find(text[i]) != std::string_view::npos;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        std::size_t j = i + 1;
        if (oneOf(j, "%")) {
            i = j;
            continue;
        }
        int number = 0;
        std::size_t k = j;
        while (digit(k) && k < j + 3) number = number * 10 + (text[k++] - '0');
        if (k > j && oneOf(k, "$")) {
            j = k + 1;
        } else {
            number = 0;
        }
        while (oneOf(j, "-+ #0'")) ++j;
        std::string conversion;
        while (digit(j) || oneOf(j, ".*")) {
            if (text[j] == '*') conversion += '*';
            ++j;
        }
        while (oneOf(j, "hlLqjzt")) conversion += text[j++];
        if (j < text.size()) conversion += text[j];
        found[number > 0 ? number : next++] = conversion;
        i = j;
    }
    return found;
}

std::string Format(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, pattern, args);
    va_end(args);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, pattern, again);
    va_end(again);
    return text;
}

std::string PictureFile(const char* file) {
    if (InUse() == kGerman) return file;
    const std::filesystem::path own = std::filesystem::path(InUse()) / file;
    std::error_code error;
    return std::filesystem::is_regular_file(own, error) ? own.string() : std::string(file);
}

}  // namespace lang
