// The editor's entry point.
#include "ui/pelgrin_app.h"

int main(int argc, char** argv) {
  return pelgrin::RunPelgrin(argc, argv);
}
