#pragma once

class QWidget;

// Gives a skinned window (the main window, the settings dialog) the rounded
// region of its current size; run again after every resize.
void ApplyRoundRegion(QWidget *form);
