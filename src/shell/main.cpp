// The editor's entry point.
#include "shell/qt/pelgrin_app.h"

int main(int argc, char** argv) {
  return pelgrin::RunPelgrin(argc, argv);
}
