// Writes the program's icon as a PNG file, for the desktop entry of an installation:
//   pelgrin-make-icon OUT.png [SIZE]
#include <cstdio>
#include <cstdlib>

#include "ui/button_icons.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: pelgrin-make-icon OUT.png [SIZE]\n");
    return 2;
  }
  const int size = argc == 3 ? std::atoi(argv[2]) : 64;
  if (size < 16 || size > 1024) {
    std::fprintf(stderr, "SIZE must be 16 to 1024\n");
    return 2;
  }
  if (!pelgrin::DrawAppIcon(size).save(argv[1], "PNG")) {
    std::fprintf(stderr, "Could not write file %s.\n", argv[1]);
    return 1;
  }
  return 0;
}
