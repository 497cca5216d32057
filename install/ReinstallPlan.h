#pragma once

#include <QString>
#include <QStringList>

// What a reinstall may remove from an install folder: the files that an
// earlier installation's Uninstall.list names. The manifest is a plain file
// anyone may edit, so a listed path counts only where it stays inside the
// folder, after "..", and after every link on the way is followed.
struct ReinstallPlan
{
    QStringList remove;  // listed files that exist inside the folder
    QStringList ignored; // listed paths that lead outside it

    // manifest: the text of Uninstall.list, each path followed by a comma.
    static ReinstallPlan fromManifest(const QString& manifest, const QString& installDir);
};
