// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "platform/File.h"
#include "tests/support/TempDir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(FileTest, ReadReturnsTheCountReadAndSeekMovesThePosition) {
    TempDir dir;
    const std::string path = dir.Write("ten.bin", Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite));
    EXPECT_EQ(file.GetLength(), 10u);
    unsigned char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(buffer[3], 3);
    EXPECT_EQ(file.Read(buffer, 16), 6u);  // only what is left
    EXPECT_EQ(buffer[0], 4);
    EXPECT_EQ(file.Read(buffer, 16), 0u);
    EXPECT_EQ(file.Seek(0, CFile::begin), 0u);
    EXPECT_EQ(file.Seek(3, CFile::current), 3u);
    EXPECT_EQ(file.Read(buffer, 1), 1u);
    EXPECT_EQ(buffer[0], 3);
    EXPECT_EQ(file.Seek(-2, CFile::end), 8u);
    EXPECT_THROW(file.Seek(-100, CFile::begin), CFileException);
    EXPECT_THROW(file.Write(buffer, 1), CFileException);  // opened for reading only
    file.Close();
    EXPECT_EQ(file.Read(buffer, 4), 0u);
    EXPECT_THROW(file.Write(buffer, 1), CFileException);
    EXPECT_THROW(file.Seek(0, CFile::begin), CFileException);
}

TEST(FileTest, LargeReadsBringEveryByteInOrderAndStopAtTheEnd) {
    // Larger than any buffer a read may go through, and no multiple of a page.
    Bytes content(300'001);
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<std::uint8_t>((i * 131) ^ (i >> 9));
    }
    TempDir dir;
    const std::string path = dir.Write("pixels.bin", content);
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    // A header first, then the rest asked for in one piece and more: only what is there comes.
    Bytes header(54);
    ASSERT_EQ(file.Read(header.data(), 54), 54u);
    Bytes rest(content.size(), 0xEE);
    EXPECT_EQ(file.Read(rest.data(), 400'000), content.size() - 54);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), content.begin()));
    EXPECT_TRUE(std::equal(content.begin() + 54, content.end(), rest.begin()));
    EXPECT_EQ(rest[content.size() - 54], 0xEE);  // nothing written beyond what was read
    EXPECT_EQ(file.Read(rest.data(), 100'000), 0u);
    EXPECT_EQ(file.Seek(0, CFile::current), content.size());
}

TEST(FileTest, OpenRefusesWhatIsNoReadableFile) {
    TempDir dir;
    CFile file;
    EXPECT_FALSE(file.Open(dir.File("missing").c_str(), CFile::modeRead));
    EXPECT_FALSE(file.Open(dir.Path().c_str(), CFile::modeRead));
    EXPECT_FALSE(file.Open("", CFile::modeRead));
    EXPECT_FALSE(file.Open(nullptr, CFile::modeRead));
    EXPECT_FALSE(
        file.Open(dir.File("no/such/folder").c_str(), CFile::modeCreate | CFile::modeReadWrite));
}

TEST(FileTest, CreateTruncatesAndWriteRaisesWhenTheDiskIsFull) {
    TempDir dir;
    const std::string path = dir.Write("old.bin", Bytes(100, 7));
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(),
                              CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive));
        EXPECT_EQ(file.GetLength(), 0u);
        file.Write("abc", 3);
        EXPECT_EQ(file.GetFilePath(), path);
    }  // closed by the destructor
    EXPECT_EQ(ReadFileBytes(path), (Bytes{'a', 'b', 'c'}));

    CFile full;
    ASSERT_TRUE(full.Open("/dev/full", CFile::modeCreate | CFile::modeReadWrite));
    try {
        full.Write("abc", 3);
        ADD_FAILURE() << "a write to a full device must raise";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_EQ(e.m_lOsError, ENOSPC);
        EXPECT_EQ(e.m_strFileName, "/dev/full");
    }
}

TEST(FileTest, FileDialogCancelsUnlessAnswered) {
    CFileDialog cancelled(TRUE);
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);

    std::vector<platform::FileDialogRequest> requests;
    auto previous = platform::SetFileDialogHandler(
        [&](const platform::FileDialogRequest& r) -> std::optional<std::string> {
            requests.push_back(r);
            if (r.open) return std::nullopt;
            return "/tmp/chosen.bmp";
        });
    CFileDialog open(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "All|*.*||");
    EXPECT_EQ(open.DoModal(), IDCANCEL);
    CFileDialog save(FALSE, nullptr, nullptr, OFN_OVERWRITEPROMPT, nullptr);
    EXPECT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), "/tmp/chosen.bmp");
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_TRUE(requests[0].open);
    EXPECT_EQ(requests[0].flags, OFN_FILEMUSTEXIST);
    EXPECT_EQ(requests[0].filter, "All|*.*||");
    EXPECT_FALSE(requests[1].open);
    EXPECT_EQ(requests[1].filter, "");

    // Installing returns the handler before; an empty one restores the default.
    auto mine = platform::SetFileDialogHandler(nullptr);
    EXPECT_TRUE(static_cast<bool>(mine));
    EXPECT_FALSE(static_cast<bool>(previous));
    EXPECT_EQ(CFileDialog(FALSE).DoModal(), IDCANCEL);
}

}  // namespace
