// The two readers of standard input: what lands in the command line, and how
// the menu reader and the command reader share one input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "console/console.h"

namespace {

constexpr std::size_t lineSize = 20;

class Readers : public ::testing::Test {
protected:
    // Makes `typed` the whole of standard input, read from its start.
    void type(const std::string& typed) {
        std::FILE* file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(std::fwrite(typed.data(), 1, typed.size(), file), typed.size());
        std::fflush(file);
        ASSERT_EQ(lseek(fileno(file), 0, SEEK_SET), 0);
        ASSERT_EQ(dup2(fileno(file), STDIN_FILENO), STDIN_FILENO);
        std::fclose(file);
        resetConsole();
    }

    // The next command line, all 20 bytes of the buffer.
    std::string read() {
        readCommand(line);
        return std::string(line, lineSize);
    }

    static std::string bytes(const std::string& start) {
        return start + std::string(lineSize - start.size(), '\0');
    }

    char line[lineSize] = {};
};

TEST_F(Readers, ShorterLineLeavesTheRestOfTheBuffer) {
    type("get\n\nn\n\n");
    EXPECT_EQ(read(), bytes("get"));
    EXPECT_EQ(read(), bytes(std::string("\0et", 3)));
    EXPECT_EQ(read(), bytes(std::string("n\0t", 3)));
    EXPECT_EQ(read(), bytes(std::string("\0\0t", 3)));
}

TEST_F(Readers, LongLinesKeepNineteenCharactersAndDropTheRest) {
    const std::string nineteen = "abcdefghijklmnopqrs";
    type(nineteen + "\n" + nineteen + "T\n" + nineteen + std::string(21, 'x') + "\nnext\n");
    EXPECT_EQ(read(), nineteen + '\0');
    EXPECT_EQ(read(), nineteen + '\0');
    EXPECT_EQ(read(), nineteen + '\0');
    EXPECT_EQ(read(), "next" + std::string("\0fghijklmnopqrs\0", 16));
}

TEST_F(Readers, CarriageReturnEndsTheLineOnlyBeforeALineFeed) {
    type("inv\r\na\rb\r\r\n");
    EXPECT_EQ(read(), bytes("inv"));
    EXPECT_EQ(read(), bytes("a\rb\r"));
}

TEST_F(Readers, NulAndHighBytesAreOrdinaryCharacters) {
    type(std::string("g\0t\xff\n", 5));
    EXPECT_EQ(read(), bytes(std::string("g\0t\xff", 4)));
}

TEST_F(Readers, EndOfInputBeforeALineLeavesTheBufferUntouched) {
    type("bye\nlast");
    EXPECT_EQ(read(), bytes("bye"));
    EXPECT_EQ(read(), bytes("last"));  // a last line without a line feed
    EXPECT_THROW(readCommand(line), EndOfInput);
    EXPECT_EQ(std::string(line, lineSize), bytes("last"));
    EXPECT_THROW(readCommand(line), EndOfInput);
}

TEST_F(Readers, MenuChoiceSkipsBlanksAcrossLinesAndKeepsTheRestOfItsLine) {
    type("\n \t\n  r  i\nxy\n");
    EXPECT_EQ(readMenuChoice(), 'r');
    EXPECT_EQ(readMenuChoice(), 'i');
    EXPECT_EQ(readMenuChoice(), 'x');
    EXPECT_EQ(readMenuChoice(), 'y');
    EXPECT_THROW(readMenuChoice(), EndOfInput);
    EXPECT_THROW(readMenuChoice(), EndOfInput);
}

TEST_F(Readers, CommandReaderStartsAfterTheMenuLine) {
    type("play\n\nget\n");
    EXPECT_EQ(readMenuChoice(), 'p');
    EXPECT_EQ(read(), bytes(""));  // the empty line after "play", not "lay"
    EXPECT_EQ(read(), bytes("get"));
}

TEST_F(Readers, MenuLineCutByEndOfInputEndsTheCommandReader) {
    type("p");
    EXPECT_EQ(readMenuChoice(), 'p');
    EXPECT_THROW(readCommand(line), EndOfInput);
}

}  // namespace
