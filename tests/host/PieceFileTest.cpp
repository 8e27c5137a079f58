// A piece image named on the command line: every kind of file that is not
// one gives its reason, and a file larger than the module reads is refused
// from its header, before its pixels.
#include "x11/PieceFile.h"
#include "x11/PixelCanvas.h"

#include "host/BmpFile.h"
#include "image/PieceLayout.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class PieceFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/piecefile.XXXXXX";
        ASSERT_TRUE(mkdtemp(name));
        m_dir = name;
    }
    void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }

    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes, off_t size = -1)
    {
        const std::string path = m_dir + "/" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (size >= 0)
            EXPECT_EQ(truncate(path.c_str(), size), 0);
        return path;
    }

    std::string m_dir;
};

BmpFile PieceImage(int frames)
{
    BmpFile f;
    f.width = frames * kPieceCell, f.height = kPieceImageHeight, f.bitCount = 32;
    return f;
}

TEST_F(PieceFileTest, EveryFileThatIsNotAPieceImageSaysWhy)
{
    BmpFile good = PieceImage(2);
    // A header that calls for 512 MB of pixels, in a sparse file that has them.
    BmpFile huge = PieceImage(11916);
    huge.fileSize = 54 + static_cast<std::int64_t>(huge.RowBytes()) * huge.height;
    ASSERT_EQ(mkfifo((m_dir + "/fifo").c_str(), 0600), 0);
    mkdir((m_dir + "/folder.bmp").c_str(), 0700);

    const struct { std::string path; bool loads; const char* why; } cases[] = {
        {Write("with space ü.bmp", good.Bytes()), true, ""},
        {"", true, ""},  // the built-in image
        {m_dir + "/gone.bmp", false, "no such file"},
        {m_dir + "/folder.bmp", false, "is a folder"},
        {"/dev/zero", false, "is a device"},
        {m_dir + "/fifo", false, "is a pipe"},
        {Write("garbage.bmp", {'B', 'M', 1, 2, 3, 4, 5}), false, "not a bitmap"},
        {Write("huge.bmp", huge.Bytes(), static_cast<off_t>(huge.fileSize)), false, "is 512 MB; velomass reads piece images of up to 32 MB"},
    };
    for (const auto& c : cases) {
        PixelCanvas board{PixelFormat{}};
        std::string why;
        EXPECT_EQ(LoadPieceFile(board, c.path, why), c.loads) << c.path << ": " << why;
        EXPECT_EQ(board.Frames() > 0, c.loads) << c.path;
        EXPECT_NE(why.find(c.why), std::string::npos) << c.path << ": " << why;
    }
}

// Reads stop at the limit, and a file cut while it is read ends the
// reading with a reason instead of a wait for bytes that never come.
TEST_F(PieceFileTest, ReadsStopAtTheLimitAndAtTheEnd)
{
    const std::string path = Write("ten", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    FileByteSource file;
    std::string why;
    ASSERT_TRUE(file.Open(path, 6, why)) << why;
    EXPECT_TRUE(file.Clipped() && file.Size() == 6 && file.FullSize() == 10);
    unsigned char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 6u);
    ASSERT_EQ(truncate(path.c_str(), 3), 0);
    EXPECT_TRUE(file.Seek(0));
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 3u);
    EXPECT_FALSE(file.ReadError().empty());
}

} // namespace
