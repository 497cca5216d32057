#include "nerixSetupOnline/QuestionBox.h"

#include "core/ExistingInstall.h"

#include <QDebug>
#include <QMessageBox>
#include <QPushButton>
#include <QTextCodec>

namespace {

QString fromGbk(const char* bytes)
{
    if (QTextCodec* gbk = QTextCodec::codecForName("GBK"))
        return gbk->toUnicode(bytes);
    return QString::fromLocal8Bit(bytes);
}

} // namespace

QString yesCaption()
{
    return fromGbk("\xCA\xC7");
}

QString noCaption()
{
    return fromGbk("\xB7\xF1");
}

void applyYesNoCaptions(QMessageBox& box)
{
    if (QAbstractButton* yes = box.button(QMessageBox::Yes))
        yes->setText(yesCaption());
    if (QAbstractButton* no = box.button(QMessageBox::No))
        no->setText(noCaption());
}

void offerUninstall(const QString& uninstallCommand)
{
    QMessageBox box(QMessageBox::Question, QObject::tr("language2"), QObject::tr("language10"),
                    QMessageBox::Yes | QMessageBox::No);
    applyYesNoCaptions(box);
    if (box.exec() != QMessageBox::Yes)
        return;
    qDebug() << "2222222222";
    runUninstaller(uninstallCommand);
}
