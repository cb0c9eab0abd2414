// A stand-in for the game: it runs until it is ended, so that its
// executable stays in use as a running game's does.
#include <chrono>
#include <thread>

int main() {
    std::this_thread::sleep_for(std::chrono::minutes(10));
    return 0;
}
