#pragma once

#include "ui_nerixSetupOnline.h"

#include <QList>
#include <QMap>
#include <QNetworkRequest>
#include <QPair>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>

class InstallThread;
class OperationLogSender;
class QNetworkAccessManager;
class QNetworkReply;
class FocusRing;
class FrameShadow;
class FreeSpaceModel;
class TaskThread;

class nerixSetupOnline : public QWidget
{
    Q_OBJECT

public:
    explicit nerixSetupOnline(QWidget* parent = nullptr);
    ~nerixSetupOnline() override;

    void setLaunchParameter(const QString& param);

    // How the process ends after the product is launched; tests replace it.
    void setExitHandler(std::function<void(int)> handler) { exitHandler = std::move(handler); }

    int phase() const { return installPhase; }
    // A download or an install is under way.
    bool workersRunning() const;
    QString installFolder() const { return installPath; }
    QString telemetryRoot() const { return logBaseUrl; }
    QString packageDownloadUrl() const { return packageUrl; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private slots:
    void on_pushButton_3_clicked();
    void on_btnDir_clicked();
    void installProgress(double per);
    void installSuccess();
    void installFailed(int code);
    void updateProgress(double per);
    void updateSuccess(QString temppath);
    void updateFailed(int code);
    void changePage();

private:
    void initInstall();
    void showFreeSpace(const QString& driveKey);
    void checkFreeSpace(const QString& driveKey);
    void setProgress(int per);
    void startInstallation();
    void toggleAgreement();
    void requestClose();
    bool askToClose();
    bool confirmClose();
    // The rest of the form's set-up, before the window is first shown.
    void finishForm();
    void setUpKeyboardAndReaders();
    void pageShown(int index);
    void launchProduct(QNetworkReply* lastPost);
    void stopWorkers();
    static const FrameShadow& frameShadow();
    QNetworkReply* sendOperationLog(const QString& btnId);
    QNetworkReply* postOperationLog(const QNetworkRequest& request, const QByteArray& body);
    void sendEarlyPosts();

    Ui::nerixSetupOnlineClass ui;
    QPoint dragOffset;
    QString installPath;
    QString installRoot;
    InstallThread* installThread = nullptr;
    TaskThread* taskThread = nullptr;
    bool agreementChecked = true;
    int installPhase = 0;
    bool dragging = false;
    bool launching = false;
    bool askingClose = false;
    int slideIndex = 0;
    QNetworkAccessManager* logNetworkManager = nullptr;
    OperationLogSender* logSender = nullptr;
    // Posts made before the first paint wait until it has happened.
    QList<QPair<QNetworkRequest, QByteArray>> earlyPosts;
    bool earlyPostsSent = false;
    bool painted = false;
    QString logBaseUrl;
    QString packageUrl;
    std::function<void(int)> exitHandler;
    FocusRing* focusRing = nullptr;
    FreeSpaceModel* freeSpace = nullptr;
};
