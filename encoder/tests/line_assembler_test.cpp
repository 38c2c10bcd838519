#include "line_assembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel {
namespace {

struct AssemblyCase {
    const char* name;
    size_t chunkSize;
    std::vector<std::string> reads;
    std::vector<std::string> chunks;  // what Add returned for each read, then Rest
};

TEST(LineAssembler, HandsOnWholeLines) {
    const AssemblyCase cases[] = {
        {"a line in ffmpeg's pieces", kEncoderChunkSize,
         {"  Duration: ", "00:00:50.00", ", start: 0.000000", ", bitrate: 900 kb/s\n"},
         {"", "", "", "  Duration: 00:00:50.00, start: 0.000000, bitrate: 900 kb/s\n", ""}},
        {"progress lines end in a carriage return", kEncoderChunkSize,
         {"frame= 1 time=00:00:01.00\rframe= 2 ", "time=00:00:02.00\r"},
         {"frame= 1 time=00:00:01.00\r", "frame= 2 time=00:00:02.00\r", ""}},
        {"the unfinished end comes last", kEncoderChunkSize, {"done\nno end"}, {"done\n", "no end"}},
        {"a line longer than a chunk is cut", 10, {"01234", "56789", "abc\n"},
         {"", "0123456789", "abc\n", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LineAssembler lines(c.chunkSize);
        std::vector<std::string> chunks;
        for (const std::string& read : c.reads) {
            ASSERT_LE(read.size(), lines.Room());
            chunks.push_back(lines.Add(read.data(), read.size()));
        }
        chunks.push_back(lines.Rest());
        EXPECT_EQ(chunks, c.chunks);
    }
}

}  // namespace
}  // namespace vantrel
