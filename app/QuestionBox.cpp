#include "app/QuestionBox.h"

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
