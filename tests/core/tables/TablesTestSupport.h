#pragma once

#include "support/RecordingFrontEnd.h"
#include "support/TempAppFolder.h"

#include <string>

namespace harvexa::test {

// config.ini and a small catalogue with the texts the table store shows.
inline void WriteCatalogue(const TempAppFolder& app) {
    app.WriteFile("config.ini", "[SYS CONFIG]\nText_Path=<APP_PATH>/config/text.ini\n");
    app.WriteFile("config/text.ini",
                  "[5000]\n4=Table files could not be set.\n95=Tables could not be created.\n"
                  "[6000]\n10=Error\n153=Saving tables...\n154=Restoring tables...\n");
}

} // namespace harvexa::test
