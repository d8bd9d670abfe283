// SPDX-License-Identifier: GPL-3.0-or-later
// The program's resources: ids, and the call that makes them known to the framework.
#pragma once

#include "platform/Types.h"

constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDS_ABOUTBOX = 101;
constexpr UINT IDD_FLOEMAZE_DIALOG = 102;
constexpr UINT IDR_MAINFRAME = 128;
constexpr UINT IDM_ABOUTBOX = 0x0010;
constexpr UINT ID_HELP = 0xE146;

namespace res {
/// Registers the string table, the dialog templates and the application icon. Idempotent.
void RegisterResources();
}  // namespace res
