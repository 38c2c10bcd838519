#include "line_chunker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vantrel {
namespace {

// Feeds the reads in order, taking a text after each as the pump does, then
// flushes at the end of the output.
std::vector<std::string> Chunks(const std::vector<std::string>& reads) {
    LineChunker chunker;
    std::vector<std::string> out;
    char text[LineChunker::kMaxChunk + 1];
    for (const std::string& read : reads) {
        size_t done = 0;
        while (done < read.size()) {
            const size_t n = std::min(chunker.space(), read.size() - done);
            std::memcpy(chunker.tail(), read.data() + done, n);
            chunker.Commit(n);
            done += n;
            if (const size_t length = chunker.Take(text, false)) out.emplace_back(text, length);
        }
    }
    if (const size_t length = chunker.Take(text, true)) out.emplace_back(text, length);
    return out;
}

struct ChunkCase {
    const char* name;
    std::vector<std::string> reads;
    std::vector<std::string> chunks;
};

TEST(LineChunker, TextsEndAtLineEnds) {
    const std::string longLine(600, 'c');
    const ChunkCase cases[] = {
        {"a line cut by the pipe is joined",
         {"  Dura", "tion: 00:00:04.00, start: 0.0\n"},
         {"  Duration: 00:00:04.00, start: 0.0\n"}},
        {"several whole lines stay together", {"a\nb\r\nc\n"}, {"a\nb\r\nc\n"}},
        {"the rest waits for its line end", {"a\nb", "c\r"}, {"a\n", "bc\r"}},
        {"a line longer than a chunk is cut at 511",
         {longLine + "\n"},
         {longLine.substr(0, 511), longLine.substr(511) + "\n"}},
        {"what is left at the end is flushed", {"frame=1\rtail"}, {"frame=1\r", "tail"}},
        {"nothing in, nothing out", {}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Chunks(c.reads), c.chunks) << c.name;
}

}  // namespace
}  // namespace vantrel
