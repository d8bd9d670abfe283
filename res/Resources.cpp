// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/Resources.h"

#include <string>

#include "lang/Language.h"
#include "platform/Resources.h"
#include "res/AppIcon.h"

namespace res {

void RegisterResources() {
    platform::RegisterString(IDS_ABOUTBOX, lang::Tr("&Info über Floemaze..."));

    // The game window: no caption, no frame, no controls; the program sizes it to 700 × 500.
    platform::DialogTemplate main;
    main.id = IDD_FLOEMAZE_DIALOG;
    main.width = 430;
    main.height = 273;
    // Not drawn, the window has no caption: task lists and window switchers show it.
    main.title = "Floemaze";
    platform::RegisterDialogTemplate(main);

    using Kind = platform::DialogItem::Kind;
    platform::DialogTemplate about;
    about.id = IDD_ABOUTBOX;
    about.width = 235;
    about.height = 55;
    about.caption = true;
    about.title = lang::Tr("Info über Icepup");
    about.items = {
        {Kind::Icon, -1, std::to_string(IDR_MAINFRAME), false, 11, 17, 21, 20},
        {Kind::Static, -1, lang::Tr("Icepup Version 1.02"), false, 40, 10, 119, 8},
        {Kind::Static, -1, lang::Tr("Bring die kleine Robbe zu ihrer Familie!"), false, 40, 25, 151,
         8},
        {Kind::Button, IDOK, lang::Tr("OK"), true, 177, 7, 50, 16},
        {Kind::Static, -1, lang::Tr("Pfeiltasten: laufen · Ende: Hilfe"), false, 39, 40, 151, 8},
    };
    platform::RegisterDialogTemplate(about);

    platform::RegisterIcon(IDR_MAINFRAME, AppIcon());
}

}  // namespace res
