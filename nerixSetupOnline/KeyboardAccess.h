#pragma once

namespace Ui {
class nerixSetupOnlineClass;
}
class FocusRing;

// The tab order of the form's controls, the focus ring around them, and the
// roles and names screen readers are told. Returns the ring (a child of the
// frame).
FocusRing* setUpKeyboardAndReaders(Ui::nerixSetupOnlineClass& ui);
