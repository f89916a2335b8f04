// SPDX-License-Identifier: GPL-3.0-or-later
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
    {"usual texts",
     {"COM1", "4800", "8", "ONESTOPBIT", "NOPARITY"},
     {4800, 8, StopBits::One, Parity::None, {}},
     {4800, 8, StopBits::One, Parity::None, {}}},
    {"listed baud rate 1200", {"", "1200", "7", "", ""}, {1200, 7, {}, {}, {}}, {1200, 7, {}, {}, {}}},
    {"listed baud rate 2400", {"", "2400", "", "", ""}, {2400, {}, {}, {}, {}}, {2400, {}, {}, {}, {}}},
    {"listed baud rate 9600", {"", "9600", "", "", ""}, {9600, {}, {}, {}, {}}, {9600, {}, {}, {}, {}}},
    {"listed baud rate 19200", {"", "19200", "", "", ""}, {19200, {}, {}, {}, {}}, {19200, {}, {}, {}, {}}},
    {"listed baud rate 38400", {"", "38400", "", "", ""}, {38400, {}, {}, {}, {}}, {38400, {}, {}, {}, {}}},
    {"slow baud rate 300", {"", "300", "", "", ""}, {300, {}, {}, {}, {}}, {300, {}, {}, {}, {}}},
    {"slow baud rate 600", {"", "600", "", "", ""}, {600, {}, {}, {}, {}}, {600, {}, {}, {}, {}}},
    {"fast baud rate 57600", {"", "57600", "", "", ""}, {57600, {}, {}, {}, {}}, {57600, {}, {}, {}, {}}},
    {"fast baud rate 115200", {"", "115200", "", "", ""}, {115200, {}, {}, {}, {}}, {115200, {}, {}, {}, {}}},
    {"two stop bits both ways",
     {"", "", "", "TWOSTOPBIT", ""},
     {{}, {}, StopBits::Two, {}, {}},
     {{}, {}, StopBits::Two, {}, {}}},
    {"even parity", {"", "", "7", "", "EVENPARITY"}, {{}, 7, {}, Parity::Even, {}}, {{}, 7, {}, Parity::Even, {}}},
    {"odd parity", {"", "", "", "", "ODDPARITY"}, {{}, {}, {}, Parity::Odd, {}}, {{}, {}, {}, Parity::Odd, {}}},
    {"mark parity", {"", "", "", "", "MARKPARITY"}, {{}, {}, {}, Parity::Mark, {}}, {{}, {}, {}, Parity::Mark, {}}},
    {"PARITY: reception only, as no parity", {"", "", "", "", "PARITY"}, {{}, {}, {}, Parity::None, {}}, {}},
    {"unlisted baud rate leaves the port's", {"", "14400", "", "", ""}, {}, {}},
    {"comparison is case-sensitive", {"", "", "", "onestopbit", "evenparity"}, {}, {}},
    {"surrounding blanks match nothing", {"", " 4800", "8 ", " ONESTOPBIT", "NOPARITY "}, {}, {}},
    {"empty texts match nothing", {"", "", "", "", ""}, {}, {}},
    {"other texts", {"", "", "9", "TWOSTOPBITS", "SPACEPARITY"}, {}, {}},
};

TEST(RecognisedParameters, flowChoice_setsFlowControlOnlyWhenChosen) {
  const CommSettings none{};
  const std::pair<FlowChoice, std::optional<FlowControl>> cases[] = {{FlowChoice::None, std::nullopt},
                                                                     {FlowChoice::RtsCts, FlowControl::Hardware},
                                                                     {FlowChoice::XonXoff, FlowControl::Software}};
  for (const auto& [choice, control] : cases) {
    for (const LinkDirection direction : {LinkDirection::Reception, LinkDirection::Upload}) {
      EXPECT_EQ(recognisedParameters(none, direction, choice).flowControl, control) << flowChoiceWord(choice);
    }
    EXPECT_EQ(flowChoiceOfWord(flowChoiceWord(choice)), choice);
  }
  EXPECT_EQ(flowChoiceOfWord("RTSCTS"), std::nullopt);
}

TEST(LinePause, onlyWholeMillisecondsInRange) {
  const std::pair<const char*, std::optional<int>> cases[] = {{"0", 0},
                                                              {"250", 250},
                                                              {"1000", 1000},
                                                              {"1001", std::nullopt},
                                                              {"-1", std::nullopt},
                                                              {"", std::nullopt},
                                                              {"10ms", std::nullopt},
                                                              {" 5", std::nullopt},
                                                              {"99999999999", std::nullopt}};
  for (const auto& [text, pause] : cases) EXPECT_EQ(linePauseOfText(text), pause) << text;
}

TEST(RecognisedParameters, eachDirectionSetsWhatItsTextsName) {
  for (const Case& c : kCases) {
    EXPECT_EQ(recognisedParameters(c.settings, LinkDirection::Reception), c.reception) << c.name;
    EXPECT_EQ(recognisedParameters(c.settings, LinkDirection::Upload), c.upload) << c.name;
  }
}

}  // namespace
}  // namespace quillmar
