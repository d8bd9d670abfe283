// SPDX-License-Identifier: GPL-3.0-or-later
// SDL_ttf and fontconfig, opened when the first text is drawn rather than linked: linking them
// loads a dozen libraries (freetype, harfbuzz, glib, …) before the window can open.
#pragma once

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <string>

namespace platform::sdl {

/// The functions the platform takes from the two libraries.
struct TextLibrary {
    decltype(&::TTF_Init) TTF_Init;
    decltype(&::TTF_WasInit) TTF_WasInit;
    decltype(&::TTF_Quit) TTF_Quit;
    decltype(&::TTF_OpenFontDPI) TTF_OpenFontDPI;
    decltype(&::TTF_SetFontHinting) TTF_SetFontHinting;
    decltype(&::TTF_CloseFont) TTF_CloseFont;
    decltype(&::TTF_SizeUTF8) TTF_SizeUTF8;
    decltype(&::TTF_FontLineSkip) TTF_FontLineSkip;
    decltype(&::TTF_FontAscent) TTF_FontAscent;
    decltype(&::TTF_RenderUTF8_Blended) TTF_RenderUTF8_Blended;
    decltype(&::FcNameParse) FcNameParse;
    decltype(&::FcPatternAddInteger) FcPatternAddInteger;
    decltype(&::FcPatternAddBool) FcPatternAddBool;
    decltype(&::FcConfigSubstitute) FcConfigSubstitute;
    decltype(&::FcDefaultSubstitute) FcDefaultSubstitute;
    decltype(&::FcFontMatch) FcFontMatch;
    decltype(&::FcPatternGetString) FcPatternGetString;
    decltype(&::FcPatternDestroy) FcPatternDestroy;
    decltype(&::FcFini) FcFini;
};

/// Opens the two libraries by file name and takes the functions into library; false, with why in
/// error, when a library or one of its functions cannot be found.
bool OpenTextLibraryFiles(const char* ttfFile, const char* fontconfigFile, TextLibrary& library,
                          std::string& error);
/// Opens both libraries of the system the first time; null, with why in error, when either or one
/// of its functions cannot be found. Later calls give the same answer.
const TextLibrary* OpenTextLibrary(std::string& error);
/// The libraries if they were opened, else null.
const TextLibrary* OpenedTextLibrary();

}  // namespace platform::sdl
