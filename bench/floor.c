/* The floor a console game is measured against: it reads the same input
 * with fgets and writes, spread evenly over its lines, the same number of
 * bytes in the same number of write calls as the game did, and nothing else.
 *
 * usage: floor WRITES BYTES LINES < input > output */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static char filler[1 << 16];

static void writeAll(const char *bytes, size_t length) {
    while (length > 0) {
        ssize_t count = write(STDOUT_FILENO, bytes, length);
        if (count <= 0) return;
        bytes += count;
        length -= (size_t)count;
    }
}

int main(int argc, char **argv) {
    if (argc != 4) return 2;
    long long writes = atoll(argv[1]), bytes = atoll(argv[2]), lines = atoll(argv[3]);
    long long writesDone = 0, bytesDone = 0, linesRead = 0;
    char line[4096];
    memset(filler, 'x', sizeof filler);
    while (fgets(line, sizeof line, stdin) != NULL) {
        if (strchr(line, '\n') == NULL && !feof(stdin)) continue; /* the rest of a long line */
        ++linesRead;
        long long writesDue = lines > 0 ? writes * linesRead / lines : writes;
        for (; writesDone < writesDue && writesDone < writes; ++writesDone) {
            long long bytesDue = bytes * (writesDone + 1) / writes;
            long long length = bytesDue - bytesDone;
            if (length > (long long)sizeof filler) length = sizeof filler;
            writeAll(filler, (size_t)length);
            bytesDone += length;
        }
    }
    for (; writesDone < writes; ++writesDone) { /* output after the last line */
        long long length = bytes * (writesDone + 1) / writes - bytesDone;
        writeAll(filler, (size_t)length);
        bytesDone += length;
    }
    return 0;
}
