#include "app/ApplicationApp.h"

int main(int argc, char** argv) {
    return rf::RunApplication(argc, argv);
}
