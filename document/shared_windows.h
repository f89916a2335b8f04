// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The long-lived dialogs that every document window shares. Start-up creates
// them once, in their fixed order, as children of the frame window.

namespace quillmar {

class TCommSet;
class TZagruzForm;
class TEditForm;
class TAddForm;
class TInternForm;
class RecentFiles;

struct SharedWindows {
  TCommSet* commSet = nullptr;
  TZagruzForm* zagruzForm = nullptr;
  TEditForm* editForm = nullptr;
  TAddForm* addForm = nullptr;
  TInternForm* internForm = nullptr;
  // Not a window: the recently used files that every "Файл" menu offers;
  // none when nothing keeps such a list.
  RecentFiles* recentFiles = nullptr;
};

}  // namespace quillmar
