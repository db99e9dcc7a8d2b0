#include "app/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "res/Resource.h"
#include "res/ToolbarImages.h"

CAboutDlg::CAboutDlg(QWidget* pParent) : QDialog(pParent)
{
    setObjectName(QStringLiteral("IDD_%1").arg(IDD_ABOUTBOX));
    setWindowTitle(QStringLiteral("Info über Quillomat"));
    auto* pIcon = new QLabel(this);
    pIcon->setPixmap(AppIcon().pixmap(32, 32));
    auto* pName = new QLabel(QStringLiteral("Quillomat Version %1").arg(QStringLiteral(QUILLOMAT_VERSION)), this);
    pName->setObjectName(QStringLiteral("aboutName"));
    auto* pLine2 = new QLabel(QStringLiteral("Bilder vom GB über das Tarvo Linkmodul"), this);
    auto* pOk = new QPushButton(QStringLiteral("OK"), this);
    pOk->setDefault(true);
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* pText = new QVBoxLayout;
    pText->addWidget(pName);
    pText->addWidget(pLine2);
    auto* pRow = new QHBoxLayout;
    pRow->addWidget(pIcon, 0, Qt::AlignTop);
    pRow->addSpacing(12);
    pRow->addLayout(pText, 1);
    pRow->addSpacing(12);
    pRow->addWidget(pOk, 0, Qt::AlignTop);
    setLayout(pRow);
    setFixedSize(sizeHint());
}
