#include "link/port_parameters.h"

#include <gtest/gtest.h>

namespace quillmar {
namespace {

struct Case {
  const char* name;
  CommSettings settings;
  PortParameters reception;
  PortParameters upload;
};

const Case kCases[] = {
    {"usual texts", {"COM1", "4800", "8", "ONESTOPBIT", "NOPARITY"},
     {4800, 8, StopBits::One, Parity::None}, {4800, 8, StopBits::One, Parity::None}},
    {"every listed baud rate 1", {"", "1200", "7", "", ""}, {1200, 7, {}, {}}, {1200, 7, {}, {}}},
    {"every listed baud rate 2", {"", "2400", "", "", ""}, {2400, {}, {}, {}}, {2400, {}, {}, {}}},
    {"every listed baud rate 3", {"", "9600", "", "", ""}, {9600, {}, {}, {}}, {9600, {}, {}, {}}},
    {"every listed baud rate 4", {"", "19200", "", "", ""}, {19200, {}, {}, {}}, {19200, {}, {}, {}}},
    {"every listed baud rate 5", {"", "38400", "", "", ""}, {38400, {}, {}, {}}, {38400, {}, {}, {}}},
    {"two stop bits: reception only", {"", "", "", "TWOSTOPBIT", ""},
     {{}, {}, StopBits::Two, {}}, {}},
    {"PARITY: reception only, as no parity", {"", "", "", "", "PARITY"},
     {{}, {}, {}, Parity::None}, {}},
    {"unlisted baud rate leaves the port's", {"", "57600", "", "", ""}, {}, {}},
    {"comparison is case-sensitive", {"", "", "", "onestopbit", "noparity"}, {}, {}},
    {"surrounding blanks match nothing", {"", " 4800", "8 ", " ONESTOPBIT", "NOPARITY "}, {}, {}},
    {"empty texts match nothing", {"", "", "", "", ""}, {}, {}},
    {"other data bits", {"", "", "9", "TWOSTOPBITS", "EVENPARITY"}, {}, {}},
};

TEST(RecognisedParameters, eachDirectionSetsWhatItsTextsName) {
  for (const Case& c : kCases) {
    EXPECT_EQ(recognisedParameters(c.settings, LinkDirection::Reception), c.reception) << c.name;
    EXPECT_EQ(recognisedParameters(c.settings, LinkDirection::Upload), c.upload) << c.name;
  }
}

}  // namespace
}  // namespace quillmar
