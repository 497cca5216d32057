#pragma once

#include "ui_nerixSetupOnline.h"

#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>

class ClickFilter;
class FocusRing;
class FrameShadow;
class InstallFlow;
class LocationPage;
class OperationLog;

// The installer's window: the frame, its pages and what the user does on
// them. The order of the installation is InstallFlow's; the window shows what
// the flow reports.
class nerixSetupOnline : public QWidget
{
    Q_OBJECT

public:
    explicit nerixSetupOnline(QWidget* parent = nullptr);
    ~nerixSetupOnline() override;

    // The channel string: the telemetry's channel and root, the package.
    void setLaunchParameter(const QString& param);

    // How the process ends after the product is launched; tests replace it.
    void setExitHandler(std::function<void(int)> handler);

    // A download or an install is under way.
    bool workersRunning() const;
    QString installFolder() const;
    QString packageDownloadUrl() const;

protected:
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
    void updateFailed(int code);
    void changePage();

private:
    void connectControls();
    void initInstall();
    void setProgress(int per);
    void showFailure(const QString& text);
    void startInstallation();
    void requestClose();
    bool askToClose();
    bool confirmClose();
    void pageShown(int index);
    void launchProduct();
    static const FrameShadow& frameShadow();

    Ui::nerixSetupOnlineClass ui;
    OperationLog* operationLog;
    InstallFlow* flow;
    LocationPage* location;
    ClickFilter* clicks;
    FocusRing* focusRing = nullptr;
    QPoint dragOffset;
    bool dragging = false;
    bool askingClose = false;
    bool painted = false;
    int slideIndex = 0;
};
