#pragma once

#include <QObject>
#include <QString>

namespace Ui {
class nerixSetupOnlineClass;
}
class FreeSpaceModel;
class OperationLog;
class QWidget;

// Where the product goes, and whether it may: the install folder and its
// volume's free space, the agreement tick of both pages, and the rule for the
// install buttons that follows from them.
class LocationPage : public QObject
{
    Q_OBJECT

public:
    LocationPage(Ui::nerixSetupOnlineClass& ui, OperationLog* log, QWidget* window);

    // The default folder and its volume's space, and the agreement rows,
    // before the first frame.
    void showDefaultFolder();
    // Every drive, after the first frame.
    void scanDrives();
    // The folder dialog, from the browse button.
    void chooseFolder();
    void toggleAgreement();

    QString installPath() const { return m_installPath; }

private:
    void showFreeSpace();
    // Install is on exactly when the agreement is ticked and the folder's
    // volume is known to have room.
    void updateInstallButtons();

    Ui::nerixSetupOnlineClass& ui;
    OperationLog* m_log;
    QWidget* m_window;
    FreeSpaceModel* m_freeSpace;
    QString m_installRoot;
    QString m_installPath;
    bool m_agreed = true;
};
