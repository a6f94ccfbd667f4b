#pragma once
// Resource identifiers shared by the resource script and the program.
#define IDI_APPLICATION_ICON 1
#define IDI_TRAY_CONNECTED 2
#define IDI_TRAY_NOT_CONNECTED 3
