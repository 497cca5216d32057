#pragma once

#include <QString>
#include <QStringList>

// Appends the paths of all files below folder, depth-first: each folder's
// subfolders (by case-sensitive name) before its own files. Hidden entries are
// left out and links to folders are not followed.
void collectFiles(const QString& folder, QStringList& paths);

// True for the installer executables that the copy never brings along.
bool isSkippedInstallerFile(const QString& path);

// Overall percentage after copied of total files in a pass of span from base.
double passProgress(int copied, int total, double span, double base);
