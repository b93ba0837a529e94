// Saves the kits' store in a loop until killed, printing "saved N" after each save: the test kills it
// mid-write and checks the file it left.
#include "kit/core/EMBUserDefaults.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    kit::EMBUserDefaults store(argv[1]);
    const std::string filler(4096, 'x');
    for (long count = 1;; ++count) {
        store.setObject("count", count);
        store.setString("key" + std::to_string(count), filler);
        if (!store.synchronize())
            return 1;
        std::printf("saved %ld\n", count);
        std::fflush(stdout);
    }
}
