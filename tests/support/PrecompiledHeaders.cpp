// The program that carries the precompiled headers the tests reuse (see tests/CMakeLists.txt); it does
// nothing when run.
int main() {
    return 0;
}
