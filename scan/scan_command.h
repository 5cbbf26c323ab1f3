// Scan Now: checks the root, lists every old file below it, reports the totals and, when
// anything was found, writes the CSV file (and in unattended mode deletes at once).
#pragma once
#include "app/command_host.h"

void ScanNow(CommandHost& host);
