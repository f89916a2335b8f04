// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/comm_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "records/io_error.h"
#include "tests/support/temp_dir.h"

namespace quillmar {
namespace {

namespace fs = std::filesystem;

class CommSettingsFile : public ::testing::Test {
 protected:
  std::string path() const { return dir_.file("CommSet.ini"); }
  std::string readBytes() const { return testing::readBytes(path()); }
  int loadCode(CommSettings& settings) const {
    try {
      loadCommSettings(path(), settings);
    } catch (const IoError& error) {
      return error.code();
    }
    return 0;
  }

  testing::TempDir dir_;
};

const CommSettings kUsual{"COM1", "4800", "8", "ONESTOPBIT", "NOPARITY"};

TEST(CommSettingsRecord, usualSettings_haveTheDocumentedByteLayout) {
  const std::string bytes = encodeCommSettings(kUsual);
  ASSERT_EQ(bytes.size(), 36u);
  EXPECT_EQ(bytes[0], 4);
  EXPECT_EQ(bytes.substr(1, 4), "COM1");
  EXPECT_EQ(bytes[5], 4);
  EXPECT_EQ(bytes.substr(6, 4), "4800");
  EXPECT_EQ(bytes[12], 1);
  EXPECT_EQ(bytes[13], '8');
  EXPECT_EQ(bytes[14], 10);
  EXPECT_EQ(bytes.substr(15, 10), "ONESTOPBIT");
  EXPECT_EQ(bytes[25], 8);
  EXPECT_EQ(bytes.substr(26, 8), "NOPARITY");
}

// The longest new texts fill their fields exactly: 36 bytes, nothing behind.
TEST(CommSettingsRecord, newTexts_fitTheirFieldsAndComeBack) {
  for (const CommSettings& settings : {CommSettings{"COM2", "115200", "7", "TWOSTOPBIT", "EVENPARITY"},
                                       CommSettings{"COM3", "57600", "8", "ONESTOPBIT", "MARKPARITY"},
                                       CommSettings{"COM4", "300", "7", "TWOSTOPBIT", "ODDPARITY"}}) {
    const std::string bytes = encodeCommSettings(settings);
    EXPECT_EQ(bytes.size(), 36u) << settings.parityText;
    EXPECT_EQ(decodeCommSettings(bytes), settings) << settings.parityText;
  }
}

TEST(CommSettingsRecord, creationTexts_areThoseOfTheDialog) {
  EXPECT_EQ(creationCommSettings(), (CommSettings{"", "4800", "8", "ONESTOPBIT", "NOPARITY"}));
}

TEST(CommSettingsRecord, encodeThenDecode_roundTrip) {
  for (const CommSettings& settings :
       {kUsual, CommSettings{}, CommSettings{"COM4", "38400", "7", "TWOSTOPBIT", "PARITY"},
        CommSettings{"COM10", "115200", "88", "ONE5STOPBITS", "EVENPARITY_X"},
        CommSettings{"/dev/pts/17", "57600", "8", "ONESTOPBIT", "NOPARITY"}}) {
    EXPECT_EQ(decodeCommSettings(encodeCommSettings(settings)), settings) << settings.portText;
  }
}

TEST(CommSettingsRecord, textsThatFit_writeExactlyOneRecord) {
  EXPECT_EQ(encodeCommSettings({"COM4", "115200", "7", "TWOSTOPBIT", "0123456789"}).size(), 36u);
}

TEST(CommSettingsRecord, longPortText_isCutInTheRecordAndKeptInFullBehindIt) {
  const std::string bytes = encodeCommSettings({"COM10", "4800", "8", "ONESTOPBIT", "NOPARITY"});
  ASSERT_GT(bytes.size(), 36u);
  EXPECT_EQ(bytes[0], 4);
  EXPECT_EQ(bytes.substr(1, 4), "COM1");
  EXPECT_EQ(decodeCommSettings(bytes).portText, "COM10");
  // A reader of the record alone finds what it always found.
  EXPECT_EQ(decodeCommSettings(bytes.substr(0, 36)).portText, "COM1");
}

TEST(CommSettingsRecord, fullTextReplacesOnlyAFieldStoredAtItsFullCapacity) {
  const std::string tail = encodeCommSettings({"COM10", "4800", "8", "ONESTOPBIT", "NOPARITY"}).substr(36);
  const struct {
    std::string record;
    std::string port;
  } cases[] = {
      {std::string(36, '\0'), ""},
      {std::string("\x02"
                   "CO",
                   3) +
           std::string(33, '\0'),
       "CO"},
      {std::string("\x04"
                   "COM2",
                   5) +
           std::string(31, '\0'),
       "COM2"},  // not continued by the full text
      {std::string("\x04"
                   "COM1",
                   5) +
           std::string(31, '\0'),
       "COM10"},
  };
  for (const auto& c : cases) {
    const CommSettings decoded = decodeCommSettings(c.record + tail);
    EXPECT_EQ(decoded.portText, c.port) << c.port;
    EXPECT_EQ(decoded.stopBitText, "") << c.port;  // stored empty, full text "ONESTOPBIT"
  }
}

TEST(CommSettingsRecord, malformedTail_leavesTheRecordTexts) {
  const std::string bytes = encodeCommSettings({"COM10", "4800", "8", "ONESTOPBIT", "NOPARITY"});
  for (std::size_t keep = 36; keep < bytes.size(); ++keep) {
    EXPECT_EQ(decodeCommSettings(bytes.substr(0, keep)).portText, "COM1") << keep;
  }
  EXPECT_EQ(decodeCommSettings(encodeCommSettings(kUsual) + "garbage after the record"), kUsual);
}

TEST(CommSettingsRecord, lengthBytesAboveTheCapacity_areClipped) {
  std::string bytes = encodeCommSettings(kUsual);
  bytes[0] = static_cast<char>(200);
  bytes[12] = 9;
  const CommSettings decoded = decodeCommSettings(bytes);
  EXPECT_EQ(decoded.portText, "COM1");
  EXPECT_EQ(decoded.byteSizeText, "8");
  EXPECT_EQ(decoded.stopBitText, "ONESTOPBIT");
}

TEST(CommSettingsRecord, fewerThan36Bytes_isReadBeyondEndOfFile) {
  const std::string bytes = encodeCommSettings(kUsual);
  for (std::size_t size : {0u, 1u, 35u}) {
    try {
      decodeCommSettings(bytes.substr(0, size));
      ADD_FAILURE() << size;
    } catch (const IoError& error) {
      EXPECT_EQ(error.code(), 100);
      EXPECT_STREQ(error.what(), "Read beyond end of file");
    }
  }
}

TEST(CommSettingsRecord, bytesAfterTheRecordThatAreNoFullText_areIgnored) {
  const std::string record = encodeCommSettings(kUsual);
  for (std::size_t extra : {0u, 1u, 9964u}) {  // files of 36, 37 and 10,000 bytes
    EXPECT_EQ(decodeCommSettings(record + std::string(extra, '\x7f')), kUsual) << extra;
  }
}

TEST_F(CommSettingsFile, directoryInPlaceOfTheFile_isIoError103) {
  fs::create_directory(path());
  CommSettings settings = creationCommSettings();
  EXPECT_EQ(loadCode(settings), 103);
}

TEST_F(CommSettingsFile, store_replacesALongerOldFileByOneRecord) {
  storeCommSettings(path(), {"COM10", "4800", "8", "ONESTOPBIT", "NOPARITY"});
  storeCommSettings(path(), kUsual);
  EXPECT_EQ(readBytes(), encodeCommSettings(kUsual));
  EXPECT_EQ(readBytes().size(), 36u);
}

TEST_F(CommSettingsFile, storeIntoAMissingDirectory_throwsAndWritesNothing) {
  const std::string target = (dir_.path() / "absent" / "CommSet.ini").string();
  EXPECT_THROW(storeCommSettings(target, kUsual), IoError);
  EXPECT_FALSE(fs::exists(target));
}

}  // namespace
}  // namespace quillmar
