#pragma once

#include <QJsonObject>
#include <QString>

// The whole flow as the user sees it: the real window on this (GUI) thread,
// its install button pressed, the download, 7z extraction and install into
// the window's own default folder, up to the window's installSuccess (where
// it sends "pc-install-success"). Reports the time from the press to that
// point and the part of it after the download ended ("pc-load-ok").
class FlowBench
{
public:
    FlowBench(const QString& url, const QString& installerDir);

    QJsonObject run();

private:
    QString m_url;
    QString m_installerDir;
};
