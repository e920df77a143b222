#pragma once

// Identifiers of the program's resources and controls; shared by the resource
// script and the window code.

#define IDI_FRAGTALLY 1
#define IDB_SPEEDBUTTON1 101
#define IDC_SPEEDBUTTON1 1001
