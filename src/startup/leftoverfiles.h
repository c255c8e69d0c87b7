#pragma once

class AppPaths;

// Removes the temporary files that a killed run of the program left in the
// application folder: those of config.ini, of the list files and list pages
// in app, and of downloads in flash, with what a broken-off download kept
// for a game the downloads list no longer names. Only the program's own
// temporary names for its own files count; anything else stays. Runs once per start, and only
// in the instance that goes on running: a second start must not remove a file
// that the running instance is about to rename into place. Returns how many
// files were removed. A page left complete between the renames of a list
// change is first put in place when it is the page of the list as it stands.
int RemoveLeftoverFiles(const AppPaths &paths);
