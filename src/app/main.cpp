#include "app/ApplicationApp.h"
#include "app/ProgramPages.h"

int main(int argc, char** argv) {
    return rf::RunApplication(argc, argv, rf::MakeProgramPages);
}
