#pragma once

#include "system/DialogCodes.h"

#include <QString>

MsgBoxResult MsgBox(const QString& prompt, MsgBoxStyle::Flags style = MsgBoxStyle::OkOnly,
                    const QString& title = {});
