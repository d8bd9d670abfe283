#include "platform/sdl/TextLibrary.h"

#include <dlfcn.h>

namespace platform::sdl {
namespace {

bool g_tried = false;
bool g_opened = false;
std::string g_error;
TextLibrary g_library{};

template <typename Function>
bool Take(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (function == nullptr) g_error = std::string("no ") + name + " in the library";
    return function != nullptr;
}

bool Open() {
    // Neither is ever closed: fonts and fontconfig's state live until the program ends.
    void* ttf = dlopen("libSDL2_ttf-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    void* fc = dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_LOCAL);
    if (ttf == nullptr || fc == nullptr) {
        const char* why = dlerror();
        g_error = why != nullptr ? why : "cannot open libSDL2_ttf-2.0.so.0 or libfontconfig.so.1";
        return false;
    }
    TextLibrary& l = g_library;
    return Take(ttf, "TTF_Init", l.TTF_Init) && Take(ttf, "TTF_WasInit", l.TTF_WasInit) &&
           Take(ttf, "TTF_Quit", l.TTF_Quit) && Take(ttf, "TTF_OpenFontDPI", l.TTF_OpenFontDPI) &&
           Take(ttf, "TTF_SetFontHinting", l.TTF_SetFontHinting) &&
           Take(ttf, "TTF_CloseFont", l.TTF_CloseFont) &&
           Take(ttf, "TTF_SizeUTF8", l.TTF_SizeUTF8) &&
           Take(ttf, "TTF_FontLineSkip", l.TTF_FontLineSkip) &&
           Take(ttf, "TTF_FontAscent", l.TTF_FontAscent) &&
           Take(ttf, "TTF_RenderUTF8_Blended", l.TTF_RenderUTF8_Blended) &&
           Take(fc, "FcNameParse", l.FcNameParse) &&
           Take(fc, "FcPatternAddInteger", l.FcPatternAddInteger) &&
           Take(fc, "FcPatternAddBool", l.FcPatternAddBool) &&
           Take(fc, "FcConfigSubstitute", l.FcConfigSubstitute) &&
           Take(fc, "FcDefaultSubstitute", l.FcDefaultSubstitute) &&
           Take(fc, "FcFontMatch", l.FcFontMatch) &&
           Take(fc, "FcPatternGetString", l.FcPatternGetString) &&
           Take(fc, "FcPatternDestroy", l.FcPatternDestroy) && Take(fc, "FcFini", l.FcFini);
}

}  // namespace

const TextLibrary* OpenTextLibrary(std::string& error) {
    if (!g_tried) {
        g_tried = true;
        g_opened = Open();
    }
    if (!g_opened) error = g_error;
    return OpenedTextLibrary();
}

const TextLibrary* OpenedTextLibrary() {
    return g_opened ? &g_library : nullptr;
}

}  // namespace platform::sdl
