#pragma once

#include <QString>

class QMessageBox;

// The Yes/No captions are the GBK bytes of the two words, decoded as GBK on
// every system so that non-Chinese code pages do not show garbage.
QString yesCaption();
QString noCaption();
void applyYesNoCaptions(QMessageBox& box);

// Asks whether to remove an earlier installation; on Yes runs its
// uninstaller and waits for it to end.
void offerUninstall(const QString& uninstallCommand);
