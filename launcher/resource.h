// Resource IDs and names of Ombrel.exe, read by windres.
#pragma once

// The icon both programs carry; the lowest ID, so the shell shows it.
#define IDI_OMBREL 1

#define OMBREL_PROGRAM_NAME "Ombrel"
#define OMBREL_PROGRAM_FILE "Ombrel.exe"
