// libFuzzer target: the whole game, from the title box on, with the fuzz
// bytes as its standard input. The end of the input ends each run, as it
// ends the program; then the state goes back to its start for the next run.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fcntl.h>

#include "console/console.h"
#include "shell/game.h"
#include "world/world.h"

namespace {

void replaceStandardInput(const std::uint8_t* data, std::size_t size) {
    const int input = memfd_create("fuzz-input", 0);
    if (input < 0) return;
    for (std::size_t written = 0; written < size;) {
        const ssize_t count = write(input, data + written, size - written);
        if (count <= 0) break;
        written += static_cast<std::size_t>(count);
    }
    lseek(input, 0, SEEK_SET);
    dup2(input, STDIN_FILENO);
    close(input);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Output is not checked here, only that every run ends cleanly.
    const int nowhere = open("/dev/null", O_WRONLY);
    dup2(nowhere, STDOUT_FILENO);
    close(nowhere);
    setsid();  // no controlling terminal: key waits return at once
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    replaceStandardInput(data, size);
    resetConsole();
    resetWorld();
    try {
        runGame();
    } catch (const EndOfInput&) {
    }
    flushOutput();
    return 0;
}
