#include "commands/HeadlessPorts.h"

#include <QTextStream>

namespace plotwell {

int HeadlessDesktop::runModal(const AlertSpec &alert)
{
    QTextStream err(stderr);
    err << "plotwell: " << alert.message;
    if (!alert.informativeText.isEmpty())
        err << ": " << alert.informativeText;
    err << '\n';
    return kFirstButton;
}

} // namespace plotwell
