#pragma once

#include <QString>

// The product's display name in the current language, by edition.
QString productDisplayName();

// Desktop shortcut to the product; returns the platform link call's result.
bool createDesktopLink(const QString& target);

// A shortcut in the product's own Start-menu (applications) folder.
bool createStartMenuLink(const QString& target, const QString& linkName);
