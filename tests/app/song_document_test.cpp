// Reading a song's document: the first 8191 bytes of a regular file, and
// nothing (with 1) for a missing file, a directory or a pipe, which must
// not make the reader wait.
#include "song_document.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <chrono>
#include <fstream>
#include <future>

namespace kvt::test {
namespace {

using app::document;

class SongDocumentTest : public testing::Test {
 protected:
  std::string path(const char* name) const { return (dir.path() + "/" + name).toStdString(); }

  QTemporaryDir dir;
  std::string text = "left from before";
};

TEST_F(SongDocumentTest, ReadsTheFirst8191BytesOfAFile) {
  ASSERT_EQ(app::kDocumentLimit, 8191u);
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{30}, std::size_t{8191}, std::size_t{8192}, std::size_t{100000}}) {
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i) bytes.push_back(static_cast<char>(i % 251));  // NULs and Shift-JIS too
    std::ofstream(path("song.doc"), std::ios::binary) << bytes;
    EXPECT_EQ(document(path("song.doc"), text), 0);
    EXPECT_EQ(text, bytes.substr(0, 8191)) << size << " bytes";
  }
}

TEST_F(SongDocumentTest, AMissingFileOrADirectoryEmptiesTheTextAndFails) {
  for (const std::string& where : {path("absent.doc"), dir.path().toStdString()}) {
    text = "left from before";
    EXPECT_EQ(document(where, text), 1) << where;
    EXPECT_EQ(text, "") << where;
  }
}

TEST_F(SongDocumentTest, APipeIsRefusedWithoutWaitingForAWriter) {
  const std::string fifo = path("song.doc");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  auto reading = std::async(std::launch::async, [&] { return document(fifo, text); });
  const bool finished = reading.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  if (!finished) close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));  // releases a reader stuck in open()
  EXPECT_TRUE(finished) << "document() waited on a pipe";
  EXPECT_EQ(reading.get(), 1);
  EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace kvt::test
