#pragma once

// Resource ids of the executable, shared by the resource script and the code.
#define IDD_LAUNCHER 102
#define IDI_LAUNCHER 128
#define IDB_SPLASH 131
