// Entry point of the Osdex Evaluation Kit. The program takes no options.
#include "ui/app/application.h"

int main(int argc, char** argv) {
    return Run_Application(argc, argv);
}
