// The executable is only the door into the game library.
#include <SDL.h>

#include "app/Program.h"

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    return RunProgram();
}
