// The editor's entry point.
#include "io/system.h"
#include "ui/pelgrin_app.h"

int main(int argc, char** argv) {
  // A closed standard stream must not be taken over by a file the program opens.
  pelgrin::os::GuardStandardStreams();
  return pelgrin::RunPelgrin(argc, argv);
}
