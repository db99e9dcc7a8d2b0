#include "dialogs/DialogControls.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVariant>

void SetControlId(QWidget* pWidget, int nId)
{
    pWidget->setObjectName(QString::number(nId));
    pWidget->setProperty("controlId", nId);
}

QWidget* FindControl(const QWidget* pDialog, int nId)
{
    return pDialog->findChild<QWidget*>(QString::number(nId));
}

QBoxLayout* MakeOkCancelRow(QDialog* pDialog)
{
    auto* pOk = new QPushButton(QStringLiteral("OK"), pDialog);
    SetControlId(pOk, 1);
    pOk->setDefault(true);
    pOk->setAutoDefault(true);
    auto* pCancel = new QPushButton(QStringLiteral("Abbrechen"), pDialog);
    SetControlId(pCancel, 2);
    pCancel->setAutoDefault(false);
    QObject::connect(pOk, &QPushButton::clicked, pDialog, &QDialog::accept);
    QObject::connect(pCancel, &QPushButton::clicked, pDialog, &QDialog::reject);

    auto* pRow = new QHBoxLayout;
    pRow->addStretch(1);
    pRow->addWidget(pOk);
    pRow->addSpacing(12);
    pRow->addWidget(pCancel);
    pRow->addStretch(1);
    return pRow;
}
