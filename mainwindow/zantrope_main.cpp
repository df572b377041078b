// The program's entry point.
#include <cstdio>

int main() {
    std::puts("Zantrope: the main window is not there yet; the database engine comes first.");
    return 0;
}
