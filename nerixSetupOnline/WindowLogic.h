#pragma once

#include <QString>
#include <QtGlobal>

// The window's decisions, free of widgets so they can be tested directly.
namespace WindowLogic {

inline constexpr quint64 minimumFreeBytes = 209715200; // 200 MiB

bool hasEnoughSpace(quint64 freeBytes);

// The install buttons' rule: the agreement ticked and the folder's volume
// known to have room, both at once.
bool installAllowed(bool agreed, bool spaceKnown, quint64 freeBytes);

// "12.34GB": free GiB with two decimals.
QString freeSpaceText(double freeGiB);

// Bar value for a worker's percentage: download fills 0-80, install 80-100.
int barValue(int installPhase, int per);

// Package URL by channel mode and edition flags; later rules win.
QString packageUrl(int mode, bool green, bool free);

// "<root>/corvaneMasterRecovery" (or the second product's folder), with "//" folded.
QString installPathFor(const QString& installRoot, bool green);

// The progress page's text while the installation runs; also the reason a
// logout is held for meanwhile.
QString installingText();

// Page reached by the agreement link.
QString agreementUrl();

} // namespace WindowLogic
