// Process entry of the updater.
#include <cstdio>

int main() {
    std::fprintf(stderr,
                 "updater: the service modules and the toolkit are built, but the start-up sequence and the "
                 "updater window are not there yet.\n");
    return 0;
}
