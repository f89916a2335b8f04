#include "editing/widgets/record_commands.h"

#include <string>

#include "editing/field_rows.h"
#include "editing/widgets/add_form.h"
#include "editing/widgets/edit_form.h"
#include "records/make_st.h"

namespace quillmar {

bool runEditCommand(TEditForm& form, RecordList& list, std::size_t row, CaptionState& captions) {
  if (row >= list.size()) return false;
  const SurveyRecord& record = list.record(row);
  form.Visio(record.body.str(), record.typeCode.str(), record.derivCode.str(), record.version);
  return applyEdit(form, list, row, captions);
}

bool applyEdit(const TEditForm& form, RecordList& list, std::size_t row, CaptionState& captions) {
  if (!form.confirmed() || row >= list.size()) return false;
  SurveyRecord& record = list.record(row);
  record.body.assign(form.line());
  list.setCaption(row, MakeSt(captions, record));
  return true;
}

bool runAddCommand(TAddForm& form, RecordList& list, std::size_t row, CaptionState& captions) {
  if (row >= list.size()) return false;
  const char version = list.record(row).version;
  form.setVersion(version);
  form.clearConfirmed();
  form.exec();
  return applyAdd(form, list, row, version, captions);
}

bool applyAdd(const TAddForm& form, RecordList& list, std::size_t row, char version,
              CaptionState& captions) {
  // Without a layout the dialog has no line of its own for this record.
  if (!form.confirmed() || !HasLayout(version) || row > list.size()) return false;
  SurveyRecord record;
  record.typeCode.assign(form.kindTypeCode());
  record.derivCode.assign(form.kindDerivCode());
  record.version = version;
  record.body.assign(form.line());
  list.insert(row, MakeSt(captions, record), record);
  return true;
}

}  // namespace quillmar
