#pragma once

namespace Ui {
class nerixSetupOnlineClass;
}
class QWidget;

// Restyles the window for the green edition (the last step of construction).
void applyGreenTheme(QWidget* window, Ui::nerixSetupOnlineClass& ui);

// Image folder for the agreement tick images of the current edition.
const char* tickImageFolder();
