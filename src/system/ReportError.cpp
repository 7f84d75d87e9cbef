#include "system/ReportError.h"

#include "system/MsgBox.h"
#include "text/Error.h"

namespace Common {
void ReportError(const Error& error) {
    if (error.number == Error::Cancel || error.number == 0)
        return;
    MsgBox(QStringLiteral("Error occurred. ") + QChar(13) + QStringLiteral("Reason ") +
               error.description,
           MsgBoxStyle::Exclamation, QStringLiteral("Problem occurred !"));
}
} // namespace Common
