#include "app/MessageBoxSink.h"

#include "common/MessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

void InstallMessageBoxSink()
{
    SetMessageSink([](const std::string& strText) {
        QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Quillomat"),
                                 QString::fromStdString(strText), QMessageBox::Ok);
    });
}
