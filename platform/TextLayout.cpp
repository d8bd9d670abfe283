// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TextLayout.h"

#include <array>
#include <cstdint>

namespace platform {
namespace {

// Windows-1252 bytes 0x80..0x9F; 0 marks the five the code page leaves undefined.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the valid UTF-8 sequence at text[i], or 0 when the bytes there are not one (stray
// continuation bytes, truncated, overlong, surrogates, beyond U+10FFFF).
std::size_t ValidSequenceAt(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[i + k]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - i < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(k) & 0x3F);
    }
    if ((length == 3 && c < 0x800) || (length == 4 && c < 0x10000)) return 0;
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return 0;
    return length;
}

// Length of the character at text[i] in text that is already valid UTF-8.
std::size_t CharLengthAt(std::string_view text, std::size_t i) {
    const std::size_t length = ValidSequenceAt(text, i);
    return length == 0 ? 1 : length;
}

void WrapParagraph(std::string_view paragraph, int maxWidth, const MeasureText& measure,
                   std::vector<std::string>& lines) {
    if (measure(paragraph) <= maxWidth) {
        lines.emplace_back(paragraph);
        return;
    }
    std::string line;
    std::size_t start = 0;
    while (start <= paragraph.size()) {
        std::size_t end = paragraph.find(' ', start);
        if (end == std::string_view::npos) end = paragraph.size();
        const std::string_view word = paragraph.substr(start, end - start);
        start = end + 1;
        if (word.empty()) continue;
        std::string candidate = line.empty() ? std::string(word) : line + " " + std::string(word);
        if (measure(candidate) <= maxWidth) {
            line = std::move(candidate);
            continue;
        }
        if (!line.empty()) lines.push_back(std::move(line));
        line.clear();
        // A word too long for a line of its own is broken between characters.
        for (std::size_t i = 0; i < word.size();) {
            const std::size_t length = CharLengthAt(word, i);
            std::string longer = line + std::string(word.substr(i, length));
            if (!line.empty() && measure(longer) > maxWidth) {
                lines.push_back(std::move(line));
                line = std::string(word.substr(i, length));
            } else {
                line = std::move(longer);
            }
            i += length;
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
}

}  // namespace

std::string ToValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = ValidSequenceAt(text, i);
        if (length > 0) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        const auto byte = static_cast<std::uint8_t>(text[i]);
        char32_t c = byte;
        if (byte >= 0x80 && byte <= 0x9F) c = kCp1252High[byte - 0x80];
        AppendUtf8(out, c == 0 ? char32_t{0xFFFD} : c);
        ++i;
    }
    return out;
}

std::vector<std::string> WrapText(std::string_view text, int maxWidth, const MeasureText& measure) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        std::string_view paragraph = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
        WrapParagraph(paragraph, maxWidth, measure, lines);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

unsigned MenuLabel::MnemonicKey() const {
    if (mnemonicAt == std::string::npos || mnemonicLength != 1) return 0;
    const char c = text[mnemonicAt];
    if (c >= 'a' && c <= 'z') return static_cast<unsigned>(c - 'a' + 'A');
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<unsigned>(c);
    return 0;
}

MenuLabel ParseMenuLabel(std::string_view raw) {
    MenuLabel label;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\t') {
            label.shortcut = std::string(raw.substr(i + 1));
            break;
        }
        if (c != '&') {
            label.text += c;
            continue;
        }
        if (i + 1 >= raw.size()) break;  // a lone "&" at the end marks nothing
        if (raw[i + 1] == '&') {
            label.text += '&';
            ++i;
            continue;
        }
        if (raw[i + 1] == '\t') continue;
        if (label.mnemonicAt == std::string::npos) {
            label.mnemonicAt = label.text.size();
            label.mnemonicLength = CharLengthAt(raw, i + 1);
        }
    }
    return label;
}

}  // namespace platform
