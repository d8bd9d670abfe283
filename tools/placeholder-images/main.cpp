// SPDX-License-Identifier: GPL-3.0-or-later
// Writes plain stand-in pictures for the game's eleven image files into a folder.
//
// Usage: floemaze-placeholder-images FOLDER
#include <cstdio>

#include "tools/placeholder-images/PlaceholderImages.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n",
                     argc > 0 ? argv[0] : "floemaze-placeholder-images");
        return 2;
    }
    if (!WritePlaceholderImages(argv[1])) {
        std::fprintf(stderr, "could not write every picture into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
