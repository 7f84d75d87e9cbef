#include "suite/HelpViewer.h"

#include "suite/FileLocator.h"
#include "system/Desktop.h"
#include "system/ReportError.h"
#include "text/Error.h"

namespace Common {

void StartHelp() {
    const QString viewer = LocateProgramFile(QStringLiteral("help.exe"));
    const QString document = LocateProgramFile(QStringLiteral("help/qlet.hpt"));
    if (!DesktopSeam::current().startProgram(viewer, {document}))
        ReportError(Error::withNumber(Error::FileNotFound));
}

} // namespace Common
