// The programs that only precompile the tests' headers for the test executables; they do nothing.
int main() {
    return 0;
}
