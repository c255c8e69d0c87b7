#pragma once

class AppPaths;

// The start of every process before the main window loads: creates the
// folder app of the stored data (with the per-user folder around it), repairs
// config.ini, creates any missing list file (one empty line) and any missing
// list page. Every step goes on after a failed one.
void PrepareApplicationFolder(const AppPaths &paths);
