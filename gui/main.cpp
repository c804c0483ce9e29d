#include <cstdio>

// The main window is not written yet; say so instead of pretending to start.
int main() {
    std::fprintf(stderr, "Quillon: the main window is not written yet, so there is nothing to show.\n");
    return 1;
}
