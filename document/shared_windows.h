#pragma once
// The long-lived dialogs that every document window shares. Start-up creates
// them once, in their fixed order, as children of the frame window.

namespace quillmar {

class TCommSet;
class TZagruzForm;
class TEditForm;
class TAddForm;
class TInternForm;

struct SharedWindows {
  TCommSet* commSet = nullptr;
  TZagruzForm* zagruzForm = nullptr;
  TEditForm* editForm = nullptr;
  TAddForm* addForm = nullptr;
  TInternForm* internForm = nullptr;
};

}  // namespace quillmar
