// SPDX-License-Identifier: GPL-3.0-or-later
// Resources of the program (strings, icons, dialog templates) by numeric id. The program's res/
// library registers them at start-up; the framework looks them up here.
#pragma once

#include <string>

#include "platform/Dialog.h"
#include "platform/Icon.h"

namespace platform {

void RegisterString(UINT id, std::string text);
void RegisterIcon(UINT id, Icon icon);
void RegisterDialogTemplate(DialogTemplate dialogTemplate);

/// The string with the given id; FALSE (and text empty) when there is none.
BOOL LoadStringResource(UINT id, std::string& text);

}  // namespace platform
