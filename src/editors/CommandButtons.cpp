#include "editors/CommandButtons.h"

#include <QDialog>
#include <QPushButton>

CommandButtons makeCommandButtons(QDialog* dialog)
{
    auto* ok = new QPushButton(QStringLiteral("&Ok"), dialog);
    ok->setObjectName(QStringLiteral("btnCOM(0)"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), dialog);
    cancel->setObjectName(QStringLiteral("btnCOM(1)"));
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return {ok, cancel};
}
