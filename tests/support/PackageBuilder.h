#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// Builds real 7z packages with the `7z` program for tests and benchmarks, and
// signs them with Debian's minisign program, as a publisher would, with the
// suite's own password-less key pairs (tests/data/test-key-a, test-key-b: the
// keys the suite's cores trust) or any other secret-key file.
namespace PackageBuilder {

using Tree = QMap<QString, QByteArray>; // relative path -> content

// A realistic product folder: nested subfolders (one deep, with blanks and
// non-ASCII in its name), a hidden file, a file whose name contains
// "nerixSetupOnline.exe", a "Qt5Morvex.dll" (to be overwritten by the
// install run), and both products' executables as small shell scripts.
Tree sampleProduct();

// Creates the folders and files; *.exe files and scripts become executable.
bool writeTree(const QString& dir, const Tree& files);

// Writes each top folder (e.g. "Vantrel_x64Minimal") with its tree into a
// staging folder and archives them with `7z a` and the given switches into
// archivePath (replacing it). Returns false, with a warning holding 7z's
// output, on failure.
bool build(const QString& archivePath, const QMap<QString, Tree>& topFolders,
           const QStringList& switches = {});

// The secret-key file of one of the suite's keys, by letter.
QString testKey(char letter);

// Writes file + ".minisig" with key a and minisign's further switches (-l:
// the old "Ed" algorithm, over the whole file; -t: the trusted comment).
// Returns false, with a warning holding minisign's output, on failure.
bool sign(const QString& file, const QStringList& switches = {});

} // namespace PackageBuilder
