// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/TextLibrary.h"

#include <dlfcn.h>

namespace platform::sdl {
namespace {

bool g_tried = false;
bool g_opened = false;
std::string g_error;
TextLibrary g_library{};

template <typename Function>
bool Take(void* library, const char* name, Function& function, std::string& error) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (function == nullptr) error = std::string("no ") + name + " in the library";
    return function != nullptr;
}

}  // namespace

bool OpenTextLibraryFiles(const char* ttfFile, const char* fontconfigFile, TextLibrary& l,
                          std::string& error) {
    // Neither is ever closed: fonts and fontconfig's state live until the program ends.
    void* ttf = dlopen(ttfFile, RTLD_NOW | RTLD_LOCAL);
    void* fc = ttf != nullptr ? dlopen(fontconfigFile, RTLD_NOW | RTLD_LOCAL) : nullptr;
    if (ttf == nullptr || fc == nullptr) {
        const char* why = dlerror();
        error = why != nullptr ? why : std::string("cannot open ") + ttfFile;
        return false;
    }
    const auto take = [&error](void* library, const char* name, auto& function) {
        return Take(library, name, function, error);
    };
    return take(ttf, "TTF_Init", l.TTF_Init) && take(ttf, "TTF_WasInit", l.TTF_WasInit) &&
           take(ttf, "TTF_Quit", l.TTF_Quit) && take(ttf, "TTF_OpenFontDPI", l.TTF_OpenFontDPI) &&
           take(ttf, "TTF_SetFontHinting", l.TTF_SetFontHinting) &&
           take(ttf, "TTF_CloseFont", l.TTF_CloseFont) &&
           take(ttf, "TTF_SizeUTF8", l.TTF_SizeUTF8) &&
           take(ttf, "TTF_FontLineSkip", l.TTF_FontLineSkip) &&
           take(ttf, "TTF_FontAscent", l.TTF_FontAscent) &&
           take(ttf, "TTF_RenderUTF8_Blended", l.TTF_RenderUTF8_Blended) &&
           take(fc, "FcNameParse", l.FcNameParse) &&
           take(fc, "FcPatternAddInteger", l.FcPatternAddInteger) &&
           take(fc, "FcPatternAddBool", l.FcPatternAddBool) &&
           take(fc, "FcConfigSubstitute", l.FcConfigSubstitute) &&
           take(fc, "FcDefaultSubstitute", l.FcDefaultSubstitute) &&
           take(fc, "FcFontMatch", l.FcFontMatch) &&
           take(fc, "FcPatternGetString", l.FcPatternGetString) &&
           take(fc, "FcPatternDestroy", l.FcPatternDestroy) && take(fc, "FcFini", l.FcFini);
}

const TextLibrary* OpenTextLibrary(std::string& error) {
    if (!g_tried) {
        g_tried = true;
        g_opened =
            OpenTextLibraryFiles("libSDL2_ttf-2.0.so.0", "libfontconfig.so.1", g_library, g_error);
    }
    if (!g_opened) error = g_error;
    return OpenedTextLibrary();
}

const TextLibrary* OpenedTextLibrary() {
    return g_opened ? &g_library : nullptr;
}

}  // namespace platform::sdl
