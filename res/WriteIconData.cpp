// SPDX-License-Identifier: GPL-3.0-or-later
// Build step: draws the application icon and writes it as a C++ source file, so that the game
// carries the pixels as data instead of drawing them every time it starts.
//   floemaze_icondata <output.cpp>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "res/AppIcon.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: floemaze_icondata <output.cpp>\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::trunc);
    out << "// The application icon as data, drawn by res/AppIcon.cpp when the game was built\n"
           "// (floemaze_icondata). Generated: not to be edited.\n"
           "#include <cstdint>\n#include <iterator>\n\n#include \"res/AppIcon.h\"\n\n"
           "namespace res {\nnamespace {\n";
    const platform::Icon icon = res::MakeAppIcon();
    for (const platform::IconImage& image : icon.images) {
        out << "constexpr std::uint32_t kPixels" << image.size << "[] = {";
        for (std::size_t i = 0; i < image.pixels.size(); ++i) {
            char value[16];
            std::snprintf(value, sizeof value, "0x%08X", static_cast<unsigned>(image.pixels[i]));
            out << (i % 8 == 0 ? "\n    " : " ") << value << ",";
        }
        out << "\n};\n";
    }
    out << "}  // namespace\n\nplatform::Icon AppIcon() {\n    platform::Icon icon;\n";
    for (const platform::IconImage& image : icon.images) {
        out << "    icon.images.push_back(platform::IconImage{" << image.size
            << ", {std::begin(kPixels" << image.size << "), std::end(kPixels" << image.size
            << ")}});\n";
    }
    out << "    return icon;\n}\n\n}  // namespace res\n";
    out.close();
    if (!out) {
        std::cerr << "floemaze_icondata: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
