// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// MakeSt: the readable caption of one record, built from its SDR line.

#include <string>
#include <string_view>

#include "records/caption_state.h"
#include "records/survey_record.h"

namespace quillmar {

// Clears `out` and writes the caption into it (reusing its capacity).
// Header, instrument and SDR3x job records update `state` first.
void MakeStInto(std::string& out, CaptionState& state, std::string_view body, std::string_view typeCode,
                std::string_view derivCode, char version);

std::string MakeSt(CaptionState& state, std::string_view body, std::string_view typeCode, std::string_view derivCode,
                   char version);

inline std::string MakeSt(CaptionState& state, const SurveyRecord& record) {
  return MakeSt(state, record.body.view(), record.typeCode.view(), record.derivCode.view(), record.version);
}

}  // namespace quillmar
