// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the BMP reader, from memory and through a file, and draws and saves
// what loads, so a file that loads must also be safe to use.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/MessageBox.h"
#include "sprites/DIB.h"
#include "sprites/Sprite.h"
#include "sprites/SpriteList.h"

namespace {

std::string ScratchPath(const char* what) {
    static const std::string dir = [] {
        char pattern[] = "/tmp/floemaze-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr) std::abort();
        return std::string(made);
    }();
    return dir + "/" + what;
}

bool WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

void Exercise(CDIB& image) {
    if (!image.HasImage()) return;
    CDIB back;
    back.CreateFilled(nullptr, 64, 48, RGB(10, 20, 30));
    image.AddSpriteTo(&back, -3, -2, image.GetWidth(), image.GetHeight(), 0, 0, 0.5f, TRUE);
    image.AddSpriteTo(&back, 5, 7, image.GetWidth(), image.GetHeight(), 0, 0, 1.0f, FALSE);
    image.Save(ScratchPath("saved.bmp").c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        platform::SetMessageBoxHandler([](const std::string&, unsigned) { return IDOK; });
        return true;
    }();
    (void)quiet;

    CDIB fromMemory;
    fromMemory.LoadFromMemory(data, size);
    Exercise(fromMemory);

    const std::string path = ScratchPath("input.bmp");
    if (WriteFile(path, data, size)) {
        CSprite sprite;
        if (sprite.Load(path.c_str(), TRUE, 7, 5)) {
            sprite.SetFrame(1, 1);
            CDIB back;
            back.CreateFilled(nullptr, 40, 30, RGB(1, 2, 3));
            CSpriteList list;
            list.m_pBackground = &back;
            list.Insert(&sprite);
            sprite.MoveTo(-2, 3);
            list.Update(nullptr);
            list.GetSpriteAt(3, 5);
            sprite.HitTest(1, 6);
        }
    }
    return 0;
}
