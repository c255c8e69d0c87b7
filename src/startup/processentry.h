#pragma once

class AppPaths;

// The start of every process before the main window loads: repairs
// config.ini, creates the folder app, any missing list file (one empty line)
// and any missing list page. Every step goes on after a failed one.
void PrepareApplicationFolder(const AppPaths &paths);
